// The command line before any window: the map to play, or a text to print and end with status 0
// (usage, help, version). Application side: only the entry point calls it.
#pragma once

// The text to print before ending with status 0, or null when argv[1] names a map to play.
const char* commandLineText(int argc, char** argv);

// The usage line, also printed when the toolkit took the only argument as its own option.
extern const char* const USAGE_TEXT;
