// Trajectory files read whole: header, points and tracks, rings, truncation, and release. (Broken
// and damaged files are in the malformed input tests, loading from disk in the map load tests.)
#include <gtest/gtest.h>

#include <cstdio>
#include "path/trajectory_file.h"
#include "base/text_reader.h"

namespace {

// A header with the given values, then `body`.
std::string dpl(int positions, int curves, int loop, const std::string& body) {
    return "a title\nPOSITIONS " + std::to_string(positions) + "\nCURVES " +
           std::to_string(curves) + "\nLOOP " + std::to_string(loop) + "\nSPEED 2.5\nSTART 1e1\n" +
           body;
}

// Parses `text` into "POSITIONS CURVES LOOP SPEED+START|", "position target up;" for each point,
// then "ring" or "end", and releases it.
std::string parsed(const std::string& text) {
    TextReader reader;
    Trajectory tr;
    readerFromText(reader, "t.dpl", text);
    if (!parseTrajectory(reader, tr)) {
        return readerErrorText(reader);
    }
    EXPECT_TRUE(tr.currentPoint == tr.firstPoint && tr.t == 0 && tr.target.x == 0 && tr.up.y == 1);
    std::string out = std::to_string(tr.positions) + " " + std::to_string(tr.curves) + " " +
                      std::to_string(tr.loop) + " " + std::to_string(tr.speed + tr.start) + "|";
    const TrajectoryPoint* p = tr.firstPoint;
    for (int i = 0; i < std::max(tr.positions, 1); i++, p = p->next) {
        char point[200];
        const Vec3 &a = p->position, &b = p->target, &c = p->up;
        snprintf(point, sizeof point, "%g %g %g %g %g %g %g %g %g;", a.x, a.y, a.z, b.x, b.y, b.z,
                 c.x, c.y, c.z);
        out += point;
        if (!p->next && i + 1 < tr.positions) {
            return out + " list ends early";
        }
    }
    out += p == tr.firstPoint ? "ring" : p ? "longer" : "end";
    freeTrajectory(&tr);
    EXPECT_TRUE(tr.firstPoint == nullptr && tr.currentPoint == nullptr);
    freeTrajectory(&tr); // a second release does nothing
    return out;
}

} // namespace

TEST(TrajectoryFile, PointsTracksAndRings) {
    const std::string three = "1 2 3\n10 20 30\n1.5 4 3\n-1 -1 -1\n0 0 0\n-1 -1 -1\n";
    const struct {
        std::string text, points;
    } cases[] = {
        {dpl(2, 2, 0, "\n0 2 10\n0 0 0\n\n5 2.5 0x1p3\n0 1 0\n"),
         "2 2 0 12.500000|0 2 10 0 0 0 0 0 0;5 2.5 8 0 1 0 0 0 0;end"},
        {dpl(2, 1, 1, "1 2 3 4 5 6 7 8 9"),
         "2 1 1 12.500000|1 2 3 0 0 0 0 0 0;4 5 6 0 0 0 0 0 0;ring"},
        {dpl(2, 1, 2, "1 2 3 4 5 6"), "2 1 2 12.500000|1 2 3 0 0 0 0 0 0;4 5 6 0 0 0 0 0 0;end"},
        {dpl(0, 3, 1, "7 7 7\n"), "0 3 1 12.500000|0 0 0 0 0 0 0 0 0;ring"}, // one unfilled point
        // Three tracks: the third is kept minus the position.
        {dpl(2, 3, 0, three), "2 3 0 12.500000|1 2 3 10 20 30 0.5 2 0;-1 -1 -1 0 0 0 0 0 0;end"},
        // A file that ends before the third track leaves it unset, not minus the position.
        {dpl(1, 3, 0, "1.5 2.5 3.5\n4.5 5.5 6.5\n"),
         "1 3 0 12.500000|1.5 2.5 3.5 4.5 5.5 6.5 0 0 0;end"},
        // The title line is skipped whatever it holds; values past the end of the file are 0.
        {"POSITIONS 9 CURVES 3\nPOSITIONS 1\nCURVES 1\nLOOP 0\nSPEED 0\nSTART 0\n4 5 6\n",
         "1 1 0 0.000000|4 5 6 0 0 0 0 0 0;end"},
        {dpl(3, 2, 0, "10.125 20.25 30.5\n1 1 1\n-4.5 -5.5 -6.5\n7.25"),
         "3 2 0 12.500000|10.125 20.25 30.5 1 1 1 0 0 0;-4.5 -5.5 -6.5 7.25 0 0 0 0 0;0 0 0 0 0 0 "
         "0 0 0;end"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(parsed(c.text), c.points) << c.text;
    }
}
