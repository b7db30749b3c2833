// Trajectory files (".dpl"): the title line, the five header values and the control points.
#include "path/trajectory_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "base/text_reader.h"

// Smallest room one control point takes per track, one separator included ("0 0 0\n").
static const size_t TRACK_BYTES = 6;

// The load defaults; `curves` keeps what the record held.
static void setTrajectoryDefaults(Trajectory& trajectory) {
    trajectory.firstPoint = nullptr;
    trajectory.currentPoint = nullptr;
    trajectory.loop = 0;
    trajectory.positions = 0;
    trajectory.speed = 0.0f;
    trajectory.start = 0.0f;
    trajectory.t = 0.0f;
    trajectory.target = {0, 0, 0};
    trajectory.up = {0, 1, 0};
}

// Reads "<keyword> <number>" of the header.
static bool readHeaderInt(TextReader& reader, const char* keyword, int& value, int64_t& line) {
    if (!readerExpect(reader, keyword)) {
        return false;
    }
    line = reader.line;
    return readerInt(reader, value);
}

static bool readHeaderFloat(TextReader& reader, const char* keyword, float& value) {
    return readerExpect(reader, keyword) && readerFloat(reader, value);
}

// Reads one triple unless the file has ended; a file that ends leaves the triple at zero and
// sets `ended`. Returns false only for text that is not a number.
static bool readTripleOrEnd(TextReader& reader, Vec3& v, bool& ended) {
    float* slots[3] = {&v.x, &v.y, &v.z};
    for (float* slot : slots) {
        if (readerAtEnd(reader)) {
            ended = true;
            return true;
        }
        if (!readerFloat(reader, *slot)) {
            return false;
        }
    }
    return true;
}

// Reads the tracks of one point; the up track is kept as an offset from the position.
// `ended` is set when the file ends before the point's last value.
static bool readPoint(TextReader& reader, int curves, TrajectoryPoint& point, bool& ended) {
    if (!readTripleOrEnd(reader, point.position, ended)) {
        return false;
    }
    if (curves >= 2 && !readTripleOrEnd(reader, point.target, ended)) {
        return false;
    }
    if (curves >= 3) {
        bool endedBefore = readerAtEnd(reader);
        Vec3 third = {0, 0, 0};
        if (!readTripleOrEnd(reader, third, ended)) {
            return false;
        }
        if (!endedBefore) {
            point.up = {third.x - point.position.x, third.y - point.position.y,
                        third.z - point.position.z};
        }
    }
    return true;
}

// Frees `count` points from `first` on, walking `next`; stops early at a null link.
static void freePoints(TrajectoryPoint* first, int count) {
    std::vector<TrajectoryPoint*> points;
    points.reserve((size_t)(count > 0 ? count : 0));
    TrajectoryPoint* p = first;
    for (int i = 0; i < count && p != nullptr; ++i, p = p->next) {
        points.push_back(p);
    }
    for (size_t i = points.size(); i > 0; --i) {
        delete points[i - 1];
    }
}

bool parseTrajectory(TextReader& reader, Trajectory& trajectory) {
    TrajectoryFileLines lines;
    return parseTrajectory(reader, trajectory, lines);
}

bool parseTrajectory(TextReader& reader, Trajectory& trajectory, TrajectoryFileLines& lines) {
    setTrajectoryDefaults(trajectory);
    lines = TrajectoryFileLines{};
    readerSkipLine(reader);
    int positions = 0;
    if (!readHeaderInt(reader, "\nPOSITIONS", positions, lines.positions) ||
        !readHeaderInt(reader, "\nCURVES", trajectory.curves, lines.curves) ||
        !readHeaderInt(reader, "\nLOOP", trajectory.loop, lines.loop) ||
        !readHeaderFloat(reader, "\nSPEED", trajectory.speed) ||
        !readHeaderFloat(reader, "\nSTART", trajectory.start)) {
        return false;
    }
    size_t pointBytes = TRACK_BYTES * (size_t)(trajectory.curves >= 3   ? 3
                                               : trajectory.curves == 2 ? 2
                                                                        : 1);
    if (!readerCountFits(reader, positions, pointBytes, lines.positions, "POSITIONS")) {
        return false;
    }

    // The first point exists even for POSITIONS 0; points the file does not reach stay zero.
    TrajectoryPoint* first = new TrajectoryPoint{};
    TrajectoryPoint* last = first;
    int allocated = 1;
    for (int i = 0; i < positions; ++i) {
        if (i > 0) {
            last->next = new TrajectoryPoint{};
            last = last->next;
            ++allocated;
        }
        bool ended = false;
        if (!readPoint(reader, trajectory.curves, *last, ended)) {
            freePoints(first, allocated);
            return false;
        }
        lines.pointsRead += ended ? 0 : 1;
    }
    if (trajectory.loop == 1) {
        last->next = first;
    }
    trajectory.positions = positions;
    trajectory.firstPoint = first;
    trajectory.currentPoint = first;
    return true;
}

LoadResult loadTrajectory(const std::string& path, Trajectory* trajectory) {
    setTrajectoryDefaults(*trajectory);
    TextReader reader;
    int err = readerOpen(reader, path);
    if (err != 0) {
        fflush(stdout);
        fprintf(stderr, "%s: %s\n", path.c_str(), fileErrorText(err).c_str());
        return LoadResult{};
    }
    if (!parseTrajectory(reader, *trajectory)) {
        return loadFailure(readerErrorText(reader), 1);
    }
    return LoadResult{};
}

LoadResult trajectoryFromFile(const std::string& path, Trajectory& trajectory) {
    printf("\t\tChargement de la trajectoire %s\n", path.c_str());
    trajectory = Trajectory{};
    return loadTrajectory(path, &trajectory);
}

void freeTrajectory(Trajectory* trajectory) {
    if (trajectory->firstPoint == nullptr) {
        return;
    }
    // A file with POSITIONS 0 still owns its one unfilled point.
    int count = trajectory->positions > 0 ? trajectory->positions : 1;
    freePoints(trajectory->firstPoint, count);
    trajectory->firstPoint = nullptr;
    trajectory->currentPoint = nullptr;
}
