// Map checker: trajectory files, for the camera's flight and for the animated objects.
#include <cstring>

#include "check_local.h"
#include "path/trajectory_file.h"

// Warns when a path can't play or, for the camera, ends before the scene does.
static void checkPlayLength(CheckRun& run, const std::string& file, const Trajectory& trajectory,
                            const TrajectoryFileLines& lines, TrajectoryRole role) {
    const char* who = role == ROLE_CAMERA ? "the camera" : "the object";
    if (trajectory.loop != 1 && trajectory.positions < MIN_OPEN_POINTS) {
        addWarning(run, file, lines.positions,
                   "an open path of " + std::to_string(trajectory.positions) +
                       " points can't play (it needs at least 4, or LOOP 1): " + who +
                       " stays put and the player prints an error line every frame");
        return;
    }
    if (trajectory.loop == 1 && trajectory.positions < 1) {
        addWarning(run, file, lines.positions,
                   std::string("a path without points: ") + who + " stays at the origin");
        return;
    }
    int seconds = trajectory.positions - 3;
    if (role == ROLE_CAMERA && trajectory.loop != 1 && seconds < SHOW_SCENE_SECONDS) {
        addWarning(run, file, lines.positions,
                   "the camera path of " + std::to_string(trajectory.positions) + " points lasts " +
                       std::to_string(seconds) + " s and stops before the " +
                       std::to_string(SHOW_SCENE_SECONDS) + " s scene ends (it needs " +
                       std::to_string(SHOW_SCENE_SECONDS + 3) + " points, or LOOP 1)");
    }
}

// Errors when the points do not match the POSITIONS count, either way.
static void checkPointCount(CheckRun& run, TextReader& reader, const Trajectory& trajectory,
                            const TrajectoryFileLines& lines) {
    int tracks = trajectory.curves >= 3 ? 3 : trajectory.curves == 2 ? 2 : 1;
    std::string perPoint = " (CURVES " + std::to_string(trajectory.curves) + " reads " +
                           std::to_string(tracks) + (tracks == 1 ? " triple" : " triples") +
                           " per point)";
    if (lines.pointsRead < trajectory.positions) {
        addError(run, reader.path, lines.positions,
                 "POSITIONS " + std::to_string(trajectory.positions) + " but the file ends after " +
                     std::to_string(lines.pointsRead) + " whole points" + perPoint);
    } else if (!readerAtEnd(reader)) {
        addError(run, reader.path, reader.line,
                 "more numbers than POSITIONS " + std::to_string(trajectory.positions) +
                     " announces" + perPoint + ": " + readerFoundText(reader) + " is never read");
    }
}

void checkTrajectoryFile(CheckRun& run, const std::string& path, TrajectoryRole role,
                         const std::string& namedAt) {
    if (!run.trajectories.insert(path + (role == ROLE_CAMERA ? "#camera" : "#object")).second) {
        return;
    }
    TextReader reader;
    int err = openChecked(run, path, reader);
    if (err != 0) {
        std::string what = role == ROLE_CAMERA ? "camera path (the map's camera has anime 1)"
                                               : "object trajectory, named at " + namedAt;
        addError(run, path, 0, "cannot open the " + what + ": " + fileErrorText(err));
        return;
    }
    size_t first = run.findings.size();
    Trajectory trajectory;
    TrajectoryFileLines lines;
    if (!parseTrajectory(reader, trajectory, lines)) {
        addReaderError(run, reader);
        return;
    }
    checkPointCount(run, reader, trajectory, lines);
    checkPlayLength(run, path, trajectory, lines, role);
    if (role == ROLE_OBJECT && trajectory.curves != 2 && trajectory.curves != 3) {
        addWarning(run, path, lines.curves,
                   "CURVES " + std::to_string(trajectory.curves) +
                       ": the object never turns (its angles come from a second track, "
                       "CURVES 2 or 3)");
    }
    freeTrajectory(&trajectory);
    sortFindingsFrom(run, first);
}
