// Shared pieces of the benchmarks: scratch directories, process memory figures, and the
// per-iteration times each benchmark records so that its ratio can be printed at the end.
#pragma once

#include <string>

// Makes a fresh directory under $TMPDIR (or /tmp) whose name starts with `prefix`; empty on
// failure.
std::string makeScratchDir(const std::string& prefix);

// Removes a directory tree made by makeScratchDir.
void removeScratchDir(const std::string& dir);

// A "VmXXX:" figure of /proc/self/status in bytes, or -1 when it can't be read.
long long procStatusBytes(const char* field);

// Keeps the mean time of one iteration of benchmark `name` (the last run wins).
void recordSeconds(const std::string& name, double secondsPerIteration);

// The kept time of `name`, or 0 when it was not run.
double recordedSeconds(const std::string& name);

// Prints "label: shipped X, baseline Y, ratio R (goal: at least G)" for two recorded times, or
// that one of them was not run; a goal of 0 prints the ratio alone.
void printSpeedRatio(const std::string& label, const std::string& shipped,
                     const std::string& baseline, double goal);
