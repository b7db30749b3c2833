// Map checker: reads a map's files with the player's own readers and lists every problem found,
// as "file:line: error: what" or "file:line: warning: what" lines.
#pragma once

#include <string>
#include <vector>

// One problem found in one file.
struct Finding {
    std::string file;    // path as the player opens it, relative to the working directory
    int64_t line;        // line in that file, counted from 1; 0 when no line applies
    bool error;          // true: the map breaks or can't load; false: it loads but looks wrong
    std::string message; // what is wrong, in a few words
};

// Checks map `mapName` as the player would find it from working directory `root` ("" for the
// current one): the map file, every file it names, and the show's own pictures and music.
// Findings come file by file in the order the player reads them, by line within each file.
std::vector<Finding> checkMap(const std::string& root, const std::string& mapName);

// "file:line: error: message", or "file: error: message" when the line is 0.
std::string findingText(const Finding& finding);

// "N errors, M warnings", with "1 error" and "1 warning" for one.
std::string summaryText(const std::vector<Finding>& findings);

// Exit status of a check: 1 when any finding is an error, else 0.
int checkStatus(const std::vector<Finding>& findings);
