// Reading and releasing trajectory files (".dpl").
#pragma once

#include <string>

#include "base/load_result.h"
#include "path/trajectory.h"

struct TextReader;

// Where a trajectory file's header values stand and how many points it really holds, for the
// map checker's messages.
struct TrajectoryFileLines {
    int64_t positions = 0; // line of the POSITIONS value
    int64_t curves = 0;    // line of the CURVES value
    int64_t loop = 0;      // line of the LOOP value
    int pointsRead = 0;    // points whose every track stood in the file before it ended
};

// Reads a whole trajectory from a reader positioned at the start of the file.
// Returns false with the reader's error set when the file breaks the grammar.
bool parseTrajectory(TextReader& reader, Trajectory& trajectory);

// The same, also telling where the header values stand and how many points were complete.
bool parseTrajectory(TextReader& reader, Trajectory& trajectory, TrajectoryFileLines& lines);

// Fills `trajectory` from the file; prints nothing on success. A missing file is reported on
// standard error (path: system text) and leaves an empty trajectory that playback treats as
// finished; a file that breaks the grammar fails with a file:line message and status 1.
LoadResult loadTrajectory(const std::string& path, Trajectory* trajectory);

// Prints the loading line, then loads the file into a fresh record.
LoadResult trajectoryFromFile(const std::string& path, Trajectory& trajectory);

// Releases the points of a loaded trajectory, the last one first, and clears firstPoint and
// currentPoint so a second release does nothing; the other fields stay as they are.
void freeTrajectory(Trajectory* trajectory);
