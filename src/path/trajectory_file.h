// Reading and releasing trajectory files (".dpl").
#pragma once

#include <string>

#include "path/trajectory.h"

struct TextReader;

// Reads a whole trajectory from a reader positioned at the start of the file.
// Returns false with the reader's error set when the file breaks the grammar.
bool parseTrajectory(TextReader& reader, Trajectory& trajectory);

// Fills `trajectory` from the file; prints nothing on success. A missing file is reported on
// standard error (path: system text) and leaves an empty trajectory that playback treats as
// finished; a file that breaks the grammar ends the process with status 1 and a file:line message.
void loadTrajectory(const std::string& path, Trajectory* trajectory);

// Prints the loading line, then loads a fresh record.
Trajectory trajectoryFromFile(const std::string& path);

// Releases the points of a loaded trajectory, the last one first, and clears firstPoint and
// currentPoint so a second release does nothing; the other fields stay as they are.
void freeTrajectory(Trajectory* trajectory);
