// Tests of trajectory playback: segment stepping, Catmull-Rom values, rings, short paths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "path/playback.h"

namespace {

// Control points owned by the test, linked into a list (or a ring) inside `trajectory`.
struct TestPath {
    std::vector<TrajectoryPoint> points;
    Trajectory trajectory;
};

// Builds a trajectory from positions; target is position + (0, 0, 10), up is (0, i, 0).
// The record is filled like a freshly loaded one: currentPoint at the first point, t 0.
void buildPath(TestPath& path, const std::vector<Vec3>& positions, int loop, int curves = 1) {
    path.points.resize(positions.size());
    for (size_t i = 0; i < positions.size(); i++) {
        TrajectoryPoint& p = path.points[i];
        p.position = positions[i];
        p.target = {positions[i].x, positions[i].y, positions[i].z + 10.0f};
        p.up = {0.0f, static_cast<float>(i), 0.0f};
        p.next = i + 1 < positions.size() ? &path.points[i + 1] : nullptr;
    }
    if (loop == 1 && !path.points.empty()) {
        path.points.back().next = &path.points[0];
    }
    path.trajectory = Trajectory{};
    path.trajectory.firstPoint = path.points.empty() ? nullptr : &path.points[0];
    path.trajectory.currentPoint = path.trajectory.firstPoint;
    path.trajectory.curves = curves;
    path.trajectory.loop = loop;
    path.trajectory.positions = static_cast<int>(positions.size());
}

// Points (0,0,0), (1,0,0), ... (count-1,0,0) on the x axis.
std::vector<Vec3> pointsOnX(int count) {
    std::vector<Vec3> result;
    for (int i = 0; i < count; i++) {
        result.push_back({static_cast<float>(i), 0.0f, 0.0f});
    }
    return result;
}

const char* const ERROR_LINE = "Erreur de gestion de la m\xe9"
                               "moire!!!\n";

} // namespace

TEST(Playback, WorkedValueAndSegmentEnds) {
    TestPath path;
    buildPath(path, pointsOnX(4), 0);
    Trajectory& tr = path.trajectory;

    // Weights -0.125, 1.125, 1.125 and 0.125 (subtracted), halved: exactly 1.5.
    tr.t = 0.5f;
    evaluateTrajectory(&tr);
    EXPECT_EQ(tr.position.x, 1.5f);
    EXPECT_EQ(tr.position.y, 0.0f);
    EXPECT_EQ(tr.position.z, 0.0f);

    // A curved set of points: the segment starts on the second point and ends on the third.
    buildPath(path, {{0, 0, 0}, {2, 5, -1}, {7, -3, 4}, {9, 9, 9}}, 0);
    tr.t = 0.0f;
    evaluateTrajectory(&tr);
    EXPECT_FLOAT_EQ(tr.position.x, 2.0f);
    EXPECT_FLOAT_EQ(tr.position.y, 5.0f);
    EXPECT_FLOAT_EQ(tr.position.z, -1.0f);
    tr.t = 1.0f;
    evaluateTrajectory(&tr);
    EXPECT_FLOAT_EQ(tr.position.x, 7.0f);
    EXPECT_FLOAT_EQ(tr.position.y, -3.0f);
    EXPECT_FLOAT_EQ(tr.position.z, 4.0f);
}

TEST(Playback, StepsOnlyWhenTPassesOne) {
    TestPath path;
    buildPath(path, pointsOnX(6), 0);
    Trajectory& tr = path.trajectory;

    tr.t = 0.75f;
    advanceTrajectory(0.25f, &tr);
    EXPECT_EQ(tr.t, 1.0f);
    EXPECT_EQ(tr.currentPoint, &path.points[0]);
    advanceTrajectory(0.0f, &tr);
    EXPECT_EQ(tr.currentPoint, &path.points[0]);

    advanceTrajectory(0.25f, &tr);
    EXPECT_EQ(tr.t, 0.25f);
    EXPECT_EQ(tr.currentPoint, &path.points[1]);
}

TEST(Playback, LongStepCrossesOneBoundaryAndCatchesUp) {
    TestPath path;
    buildPath(path, pointsOnX(10), 0);
    Trajectory& tr = path.trajectory;

    advanceTrajectory(2.5f, &tr);
    EXPECT_EQ(tr.currentPoint, &path.points[1]);
    EXPECT_EQ(tr.t, 1.5f);
    // Beyond its end the segment's cubic keeps going: points on a line stay on the line.
    evaluateTrajectory(&tr);
    EXPECT_FLOAT_EQ(tr.position.x, 3.5f);

    advanceTrajectory(0.0f, &tr);
    EXPECT_EQ(tr.currentPoint, &path.points[2]);
    EXPECT_EQ(tr.t, 0.5f);
    evaluateTrajectory(&tr);
    EXPECT_FLOAT_EQ(tr.position.x, 3.5f);
}

TEST(Playback, FourOpenPointsEndOnTheThird) {
    TestPath path;
    buildPath(path, {{0, 0, 0}, {1, 2, 3}, {4, 5, 6}, {9, 9, 9}}, 0);
    Trajectory& tr = path.trajectory;

    for (int frame = 0; frame < 30; frame++) {
        advanceTrajectory(0.1f, &tr);
        evaluateTrajectory(&tr);
    }
    EXPECT_EQ(tr.t, 1.0f);
    EXPECT_EQ(tr.currentPoint, &path.points[0]);
    EXPECT_EQ(tr.position.x, 4.0f);
    EXPECT_EQ(tr.position.y, 5.0f);
    EXPECT_EQ(tr.position.z, 6.0f);
}

TEST(Playback, OpenPathFinishesOnItsLastSegment) {
    TestPath path;
    buildPath(path, pointsOnX(6), 0);
    Trajectory& tr = path.trajectory;

    for (int frame = 0; frame < 40; frame++) {
        advanceTrajectory(0.25f, &tr);
    }
    EXPECT_EQ(tr.currentPoint, &path.points[2]);
    EXPECT_EQ(tr.t, 1.0f);
    evaluateTrajectory(&tr);
    EXPECT_FLOAT_EQ(tr.position.x, 4.0f);

    // A rewind keeps t at 1.0, so the next advance steps at once into the second segment.
    tr.currentPoint = tr.firstPoint;
    advanceTrajectory(0.25f, &tr);
    EXPECT_EQ(tr.currentPoint, &path.points[1]);
    EXPECT_EQ(tr.t, 0.25f);
}

TEST(Playback, RingOfOnePointStaysOnIt) {
    TestPath path;
    buildPath(path, {{3.0f, -2.0f, 8.0f}}, 1);
    Trajectory& tr = path.trajectory;

    for (int frame = 0; frame < 13; frame++) {
        advanceTrajectory(0.3f, &tr);
        evaluateTrajectory(&tr);
        EXPECT_NEAR(tr.position.x, 3.0f, 1e-5f);
        EXPECT_NEAR(tr.position.y, -2.0f, 1e-5f);
        EXPECT_NEAR(tr.position.z, 8.0f, 1e-5f);
    }
    EXPECT_EQ(tr.currentPoint, &path.points[0]);
}

TEST(Playback, RingsOfTwoAndThreePointsCirculate) {
    for (int count : {2, 3}) {
        SCOPED_TRACE(count);
        std::vector<Vec3> positions = {{0, 0, 0}, {10, 1, 0}, {20, 2, 5}};
        positions.resize(count);
        TestPath path;
        buildPath(path, positions, 1);
        Trajectory& tr = path.trajectory;

        // At whole second k the segment has just ended on point (k + 1) mod count.
        for (int second = 1; second <= 2 * count + 1; second++) {
            for (int quarter = 0; quarter < 4; quarter++) {
                advanceTrajectory(0.25f, &tr);
            }
            evaluateTrajectory(&tr);
            const Vec3& expected = positions[(second + 1) % count];
            EXPECT_NEAR(tr.position.x, expected.x, 1e-4f) << "second " << second;
            EXPECT_NEAR(tr.position.y, expected.y, 1e-4f) << "second " << second;
            EXPECT_NEAR(tr.position.z, expected.z, 1e-4f) << "second " << second;
        }
    }
}

TEST(Playback, ShortOpenPathReportsEveryEvaluationAndKeepsItsValue) {
    TestPath path;
    buildPath(path, pointsOnX(3), 0, 3);
    Trajectory& tr = path.trajectory;
    tr.position = {7.0f, 8.0f, 9.0f};
    tr.currentPoint = &path.points[1];

    testing::internal::CaptureStdout();
    for (int frame = 0; frame < 3; frame++) {
        advanceTrajectory(0.4f, &tr);
        evaluateTrajectory(&tr);
        EXPECT_EQ(tr.currentPoint, &path.points[0]);
    }
    const std::string printed = testing::internal::GetCapturedStdout();
    EXPECT_EQ(printed, std::string(ERROR_LINE) + ERROR_LINE + ERROR_LINE);
    EXPECT_EQ(tr.position.x, 7.0f);
    EXPECT_EQ(tr.position.y, 8.0f);
    EXPECT_EQ(tr.position.z, 9.0f);
    EXPECT_EQ(tr.target.z, 0.0f);
    EXPECT_EQ(tr.up.y, 1.0f);
    EXPECT_EQ(tr.t, 1.0f);
}

TEST(Playback, MissingCurrentPointIsReportedAndRewound) {
    TestPath path;
    buildPath(path, pointsOnX(5), 0);
    Trajectory& tr = path.trajectory;
    tr.currentPoint = nullptr;

    testing::internal::CaptureStdout();
    advanceTrajectory(1.5f, &tr);
    evaluateTrajectory(&tr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), ERROR_LINE);
    EXPECT_EQ(tr.currentPoint, &path.points[0]);
    EXPECT_EQ(tr.t, 1.0f);
}

TEST(Playback, EmptyTrajectoryIsFinishedAndSilent) {
    Trajectory tr;
    tr.t = 0.5f;
    tr.position = {1.0f, 2.0f, 3.0f};

    testing::internal::CaptureStdout();
    advanceTrajectory(3.0f, &tr);
    evaluateTrajectory(&tr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(tr.t, 0.5f);
    EXPECT_EQ(tr.position.x, 1.0f);
    EXPECT_EQ(tr.currentPoint, nullptr);
}

TEST(Playback, CurvesChooseTheEvaluatedTracks) {
    const std::vector<Vec3> positions = {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}};
    struct Case {
        int curves;
        bool target;
        bool up;
    };
    for (const Case& c : {Case{1, false, false}, Case{2, true, false}, Case{3, true, true},
                          Case{4, false, false}, Case{0, false, false}}) {
        SCOPED_TRACE(c.curves);
        TestPath path;
        buildPath(path, positions, 0, c.curves);
        Trajectory& tr = path.trajectory;
        tr.t = 1.0f;
        evaluateTrajectory(&tr);

        EXPECT_FLOAT_EQ(tr.position.x, 2.0f);
        EXPECT_FLOAT_EQ(tr.target.z, c.target ? 12.0f : 0.0f);
        EXPECT_FLOAT_EQ(tr.target.x, c.target ? 2.0f : 0.0f);
        EXPECT_FLOAT_EQ(tr.up.y, c.up ? 2.0f : 1.0f);
    }
}
