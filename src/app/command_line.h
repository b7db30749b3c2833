// The command line before any window: the map to play, or a text to print and end with status 0
// (usage, help, version). Application side: only the entry point calls it.
#pragma once

// The text to print before ending with status 0, or null when argv[1] names a map to play.
const char* commandLineText(int argc, char** argv);

// The usage line, also printed when the toolkit took the only argument as its own option.
extern const char* const USAGE_TEXT;

struct AuthorOptions;

// Kinds of command line parseAuthorOptions finds.
enum AuthorCommand {
    AUTHOR_NONE, // no authoring option: the command line is the show's own
    AUTHOR_RUN,  // authoring options and one map name, in `options`
    AUTHOR_BAD   // an authoring option with a bad or missing value, or no map: usage, status 1
};

// Reads --author, --at SECONDS (0 <= SECONDS < the show's length), --paused and --poll with one
// map name, in any order.
AuthorCommand parseAuthorOptions(int argc, char** argv, AuthorOptions& options);
