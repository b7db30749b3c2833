// Trajectory files read for the map checker: where the header values stand and how many points
// the file really holds.
#include <gtest/gtest.h>

#include "path/trajectory_file.h"
#include "scene/text_reader.h"

// Parses `text` as "t.dpl"; the points are released before returning.
static bool parseLines(const std::string& text, TrajectoryFileLines& lines, Trajectory& tr) {
    TextReader reader;
    readerFromText(reader, "t.dpl", text);
    bool ok = parseTrajectory(reader, tr, lines);
    freeTrajectory(&tr);
    return ok;
}

TEST(TrajectoryLines, HeaderLinesFollowBlankLinesAndSplitValues) {
    Trajectory tr;
    TrajectoryFileLines lines;
    ASSERT_TRUE(parseLines("title\n\nPOSITIONS 2\n\n\nCURVES\n1\nLOOP 1\nSPEED 1 START 0\n"
                           "1 2 3\n4 5 6\n",
                           lines, tr));
    EXPECT_EQ(lines.positions, 3);
    EXPECT_EQ(lines.curves, 6);
    EXPECT_EQ(lines.loop, 8);
    EXPECT_EQ(lines.pointsRead, 2);
}

// One triple written long enough that a short file still passes the size check of the count.
static const std::string T = "100.25 100.25 100.25\n";

TEST(TrajectoryLines, PointsReadCountsOnlyWholePoints) {
    const std::string header = "t\nPOSITIONS 3\nCURVES 2\nLOOP 0\nSPEED 1\nSTART 0\n";
    struct Case {
        std::string body;
        int whole;
    } cases[] = {
        {T + T + T + T, 2},
        // The third point has its position but no target.
        {T + T + T + T + T, 2},
        // Cut inside a triple.
        {T + T + T + "2 2", 1},
        {T + T + T + T + T + T, 3},
    };
    for (const Case& c : cases) {
        Trajectory tr;
        TrajectoryFileLines lines;
        ASSERT_TRUE(parseLines(header + c.body, lines, tr)) << c.body;
        EXPECT_EQ(lines.pointsRead, c.whole) << c.body;
        // The player's record is the same either way: the count as written.
        EXPECT_EQ(tr.positions, 3) << c.body;
    }
}

TEST(TrajectoryLines, ThirdTrackCountsTowardsAWholePoint) {
    Trajectory tr;
    TrajectoryFileLines lines;
    ASSERT_TRUE(parseLines(
        "t\nPOSITIONS 2\nCURVES 3\nLOOP 0\nSPEED 1\nSTART 0\n" + T + T + T + T + T, lines, tr));
    EXPECT_EQ(lines.pointsRead, 1);
}
