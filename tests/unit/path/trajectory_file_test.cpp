// Trajectory files: defaults, header, points and tracks, rings, truncation, faults and release.
#include <gtest/gtest.h>

#include "path/trajectory_file.h"
#include "scene/text_reader.h"
#include "unit/scene/test_files.h"

// A header with the given values, then `body`.
static std::string dpl(int positions, int curves, int loop, const std::string& body) {
    return "a title\nPOSITIONS " + std::to_string(positions) + "\nCURVES " +
           std::to_string(curves) + "\nLOOP " + std::to_string(loop) + "\nSPEED 2.5\nSTART 1.25\n" +
           body;
}

// Parses `text` as "t.dpl" into a fresh record whose fields hold junk first.
static bool parseText(const std::string& text, Trajectory& trajectory, TextReader& reader) {
    trajectory.t = 9;
    trajectory.loop = 9;
    trajectory.positions = 9;
    trajectory.speed = 9;
    trajectory.start = 9;
    trajectory.target = {9, 9, 9};
    trajectory.up = {9, 9, 9};
    readerFromText(reader, "t.dpl", text);
    return parseTrajectory(reader, trajectory);
}

// The points of a list, walking `next` at most `limit` steps.
static std::vector<TrajectoryPoint*> walk(const Trajectory& trajectory, int limit) {
    std::vector<TrajectoryPoint*> points;
    for (TrajectoryPoint* p = trajectory.firstPoint; p && (int)points.size() < limit; p = p->next) {
        points.push_back(p);
    }
    return points;
}

TEST(TrajectoryFile, HeaderAndDefaultsOfAnOpenPath) {
    Trajectory tr;
    TextReader reader;
    ASSERT_TRUE(parseText(dpl(4, 2, 0,
                              "\n0 2 10\n0 0 0\n\n5 2.5 5\n0 0 0\n\n10 3 0\n0 1 0\n"
                              "\n15 3 -5\n0 1 0\n"),
                          tr, reader))
        << readerErrorText(reader);
    EXPECT_EQ(tr.positions, 4);
    EXPECT_EQ(tr.curves, 2);
    EXPECT_EQ(tr.loop, 0);
    EXPECT_EQ(tr.speed, 2.5f);
    EXPECT_EQ(tr.start, 1.25f);
    EXPECT_EQ(tr.t, 0.0f);
    EXPECT_EQ(tr.target.x, 0.0f);
    EXPECT_EQ(tr.target.y, 0.0f);
    EXPECT_EQ(tr.up.y, 1.0f);
    EXPECT_EQ(tr.up.x, 0.0f);
    EXPECT_EQ(tr.currentPoint, tr.firstPoint);
    std::vector<TrajectoryPoint*> points = walk(tr, 10);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[3]->next, nullptr);
    EXPECT_EQ(points[1]->position.y, 2.5f);
    EXPECT_EQ(points[3]->position.z, -5.0f);
    EXPECT_EQ(points[2]->target.y, 1.0f);
    freeTrajectory(&tr);
}

TEST(TrajectoryFile, LoopOneClosesTheRingOtherValuesLeaveItOpen) {
    std::string body = "0 0 0\n1 0 0\n2 0 0\n";
    for (int loop : {1, 2, 0, -1}) {
        Trajectory tr;
        TextReader reader;
        ASSERT_TRUE(parseText(dpl(3, 1, loop, body), tr, reader));
        std::vector<TrajectoryPoint*> points = walk(tr, 3);
        ASSERT_EQ(points.size(), 3u);
        EXPECT_EQ(points[2]->next, loop == 1 ? tr.firstPoint : nullptr) << loop;
        freeTrajectory(&tr);
    }
}

TEST(TrajectoryFile, PositionsZeroHoldsOneUnfilledPoint) {
    for (int loop : {0, 1}) {
        Trajectory tr;
        TextReader reader;
        ASSERT_TRUE(parseText(dpl(0, 3, loop, "7 7 7\n"), tr, reader));
        EXPECT_EQ(tr.positions, 0);
        ASSERT_NE(tr.firstPoint, nullptr);
        EXPECT_EQ(tr.currentPoint, tr.firstPoint);
        EXPECT_EQ(tr.firstPoint->next, loop == 1 ? tr.firstPoint : nullptr);
        EXPECT_EQ(tr.firstPoint->position.x, 0.0f);
        freeTrajectory(&tr);
        EXPECT_EQ(tr.firstPoint, nullptr);
    }
}

TEST(TrajectoryFile, CurvesChooseTheTracksAndUpIsAnOffset) {
    Trajectory one;
    TextReader r1;
    ASSERT_TRUE(parseText(dpl(2, 1, 0, "1 2 3 4 5 6 7 8 9"), one, r1));
    std::vector<TrajectoryPoint*> p1 = walk(one, 2);
    EXPECT_EQ(p1[1]->position.x, 4.0f);
    EXPECT_EQ(p1[0]->target.x, 0.0f);
    EXPECT_EQ(one.target.x, 0.0f);
    EXPECT_EQ(one.up.y, 1.0f);
    freeTrajectory(&one);

    // CURVES 3 and above read three triples; the third is kept minus the position.
    for (int curves : {3, 5}) {
        Trajectory three;
        TextReader r3;
        ASSERT_TRUE(parseText(dpl(2, curves, 0,
                                  "1 2 3\n10 20 30\n1.5 4 3\n"
                                  "-1 -1 -1\n0 0 0\n-1 -1 -1\n"),
                              three, r3));
        std::vector<TrajectoryPoint*> p3 = walk(three, 2);
        ASSERT_EQ(p3.size(), 2u);
        EXPECT_EQ(p3[0]->target.y, 20.0f);
        EXPECT_EQ(p3[0]->up.x, 0.5f);
        EXPECT_EQ(p3[0]->up.y, 2.0f);
        EXPECT_EQ(p3[0]->up.z, 0.0f);
        EXPECT_EQ(p3[1]->up.x, 0.0f);
        EXPECT_EQ(p3[1]->position.x, -1.0f);
        freeTrajectory(&three);
    }
}

TEST(TrajectoryFile, TitleLineIsSkippedWhateverItHolds) {
    Trajectory tr;
    TextReader reader;
    std::string text = "POSITIONS 99 CURVES 3 LOOP 1\nPOSITIONS 1\nCURVES 1\nLOOP 0\n"
                       "SPEED 0\nSTART 0\n4 5 6\n";
    ASSERT_TRUE(parseText(text, tr, reader)) << readerErrorText(reader);
    EXPECT_EQ(tr.positions, 1);
    EXPECT_EQ(tr.loop, 0);
    EXPECT_EQ(tr.firstPoint->position.y, 5.0f);
    freeTrajectory(&tr);
}

TEST(TrajectoryFile, TitleWithoutLineEndStopsAtEndOfFile) {
    Trajectory tr;
    TextReader reader;
    EXPECT_FALSE(parseText("POSITIONS 4 CURVES 1 LOOP 0 SPEED 1 START 0", tr, reader));
    EXPECT_EQ(reader.error, "expected \"POSITIONS\", found end of file");
    EXPECT_EQ(tr.firstPoint, nullptr);
}

TEST(TrajectoryFile, PointsAfterTheEndOfFileAreZero) {
    Trajectory tr;
    TextReader reader;
    // Three points of two tracks announced; the file ends inside the second point's target.
    ASSERT_TRUE(
        parseText(dpl(3, 2, 0, "10.125 20.25 30.5\n1 1 1\n-4.5 -5.5 -6.5\n7.25"), tr, reader))
        << readerErrorText(reader);
    std::vector<TrajectoryPoint*> points = walk(tr, 5);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[0]->position.z, 30.5f);
    EXPECT_EQ(points[1]->position.x, -4.5f);
    EXPECT_EQ(points[1]->target.x, 7.25f);
    EXPECT_EQ(points[1]->target.y, 0.0f);
    EXPECT_EQ(points[2]->position.x, 0.0f);
    EXPECT_EQ(points[2]->position.z, 0.0f);
    EXPECT_EQ(points[2]->target.y, 0.0f);
    EXPECT_EQ(tr.positions, 3);
    freeTrajectory(&tr);
}

TEST(TrajectoryFile, BrokenFilesNameTheLineAndAllocateNothing) {
    struct Bad {
        const char* what;
        std::string text;
        int line;
        const char* message;
    };
    std::vector<Bad> cases = {
        {"keyword in lower case", "t\npositions 4\n", 2,
         "expected \"POSITIONS\", found \"positions\""},
        {"keywords out of order", "t\nPOSITIONS 1\nLOOP 0\nCURVES 1\n", 3,
         "expected \"CURVES\", found \"LOOP\""},
        {"word for a number", "t\nPOSITIONS 1\nCURVES 1\nLOOP 0\nSPEED fast\n", 5,
         "expected a number, found \"fast\""},
        {"word in a point", dpl(2, 1, 0, "1 2 3\n4 x 6\n"), 8, "expected a number, found \"x\""},
        {"negative count", dpl(-1, 1, 0, ""), 2, "negative POSITIONS count -1"},
        {"count beyond file", dpl(2000000000, 1, 0, "0 0 0\n"), 2,
         "POSITIONS count 2000000000 is larger than the rest of the file can hold"},
        {"count beyond file for three tracks", dpl(4, 3, 0, "0 0 0 0 0 0 0 0 0 0 0 0\n"), 2,
         "POSITIONS count 4 is larger than the rest of the file can hold"},
        {"header cut short", "t\nPOSITIONS 3\nCURVES 1\n", 4,
         "expected \"LOOP\", found end of file"},
        {"empty file", "", 1, "expected \"POSITIONS\", found end of file"},
    };
    for (const Bad& c : cases) {
        Trajectory tr;
        TextReader reader;
        EXPECT_FALSE(parseText(c.text, tr, reader)) << c.what;
        EXPECT_EQ(reader.errorLine, c.line) << c.what;
        EXPECT_EQ(reader.error, c.message) << c.what;
        EXPECT_EQ(tr.firstPoint, nullptr) << c.what;
        EXPECT_EQ(tr.positions, 0) << c.what;
    }
}

TEST(TrajectoryFile, FreeingHandlesRingsOpenListsAndEmptyRecords) {
    for (int loop : {0, 1}) {
        Trajectory tr;
        TextReader reader;
        ASSERT_TRUE(parseText(dpl(5, 1, loop, "0 0 0 1 1 1 2 2 2 3 3 3 4 4 4"), tr, reader));
        freeTrajectory(&tr);
        EXPECT_EQ(tr.firstPoint, nullptr);
        EXPECT_EQ(tr.currentPoint, nullptr);
        EXPECT_EQ(tr.positions, 5);
        freeTrajectory(&tr); // a second release does nothing
    }
    Trajectory empty;
    freeTrajectory(&empty);
    EXPECT_EQ(empty.firstPoint, nullptr);
}

TEST(TrajectoryLoad, FileIsReadAndPrintsNothingButTheLoadingLine) {
    std::string dir = makeScratchDir();
    std::string path = dir + "/oiseau.dpl";
    writeTextFile(path, dpl(4, 1, 1, "0 0 0\n1 0 0\n2 0 0\n3 0 0\n"));
    testing::internal::CaptureStdout();
    Trajectory tr = trajectoryFromFile(path);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\t\tChargement de la trajectoire " + path + "\n");
    EXPECT_EQ(tr.positions, 4);
    EXPECT_EQ(walk(tr, 4)[3]->next, tr.firstPoint);
    freeTrajectory(&tr);
    removeScratchDir(dir);
}

TEST(TrajectoryLoad, MissingFileIsReportedOnceAndLeavesAnEmptyPath) {
    std::string dir = makeScratchDir();
    Trajectory tr;
    tr.curves = 2;
    tr.target = {5, 5, 5};
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    loadTrajectory(dir + "/camera.dpl", &tr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              dir + "/camera.dpl: No such file or directory\n");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(tr.firstPoint, nullptr);
    EXPECT_EQ(tr.currentPoint, nullptr);
    EXPECT_EQ(tr.positions, 0);
    EXPECT_EQ(tr.target.x, 0.0f);
    EXPECT_EQ(tr.up.y, 1.0f);
    EXPECT_EQ(tr.curves, 2);
    removeScratchDir(dir);
}

TEST(TrajectoryLoadDeathTest, BrokenFileEndsWithStatusOne) {
    std::string dir = makeScratchDir();
    std::string path = dir + "/x.dpl";
    writeTextFile(path, "t\nPOSITIONS 2\nCURVE 1\n");
    Trajectory tr;
    EXPECT_EXIT(loadTrajectory(path, &tr), testing::ExitedWithCode(1),
                "^" + path + ":3: error: expected \"CURVES\", found \"CURVE\"\n$");
    removeScratchDir(dir);
}
