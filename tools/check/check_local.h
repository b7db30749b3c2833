// Map checker, shared between its files: the state of one check and the per-file checks.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/map_format.h"
#include "base/show_files.h"
#include "check.h"
#include "base/text_reader.h"

#define MIN_OPEN_POINTS 4 // an open path needs four points for its first segment

// What a mesh file turned out to be, kept so a mesh listed twice is read once.
struct MeshSummary {
    bool readable; // opened and parsed (faults stepped over included)
    bool textured; // the option asks for a texture
};

// State of one check run.
struct CheckRun {
    std::string root;                          // prefix that turns a player path into an open path
    std::vector<Finding> findings;             // everything found so far
    std::map<std::string, MeshSummary> meshes; // mesh files already checked
    std::set<std::string> pictures;            // pictures already checked
    std::set<std::string> trajectories;        // trajectory files already checked, with role
    bool imageLibraryReady;                    // ilInit has run
};

// The role a trajectory plays, for the checks that depend on it.
enum TrajectoryRole { ROLE_CAMERA, ROLE_OBJECT };

// Adds an error or a warning.
void addError(CheckRun& run, const std::string& file, int64_t line, const std::string& message);
void addWarning(CheckRun& run, const std::string& file, int64_t line, const std::string& message);

// Orders the findings from index `from` on by line, keeping their order within a line.
void sortFindingsFrom(CheckRun& run, size_t from);

// Opens a player path under the run's root into `reader`, whose messages keep the player path.
// Returns 0 or the errno.
int openChecked(const CheckRun& run, const std::string& path, TextReader& reader);

// The reader's first failure as an error finding.
void addReaderError(CheckRun& run, const TextReader& reader);

// Checks one mesh file once and returns what it is; `namedAt` says where it was listed.
MeshSummary checkMeshFile(CheckRun& run, const std::string& path, const std::string& namedAt);

// Checks one trajectory file for its role (once per file and role).
void checkTrajectoryFile(CheckRun& run, const std::string& path, TrajectoryRole role,
                         const std::string& namedAt);

// Checks a picture the player loads, once: missing, unreadable or too large is a warning on
// the picture; `why` says who names it or what it is for.
void checkPicture(CheckRun& run, const std::string& path, const std::string& why);

// True when a texture name ends in .jpg, .jpeg or .tga, in any case.
bool isPictureFormatKnown(const std::string& name);

// Checks the show's own pictures and its music file.
void checkShowFiles(CheckRun& run);

// "file:line" for messages.
std::string placeText(const std::string& file, int64_t line);

// A float for messages, as short as %g writes it.
std::string numberText(float value);
