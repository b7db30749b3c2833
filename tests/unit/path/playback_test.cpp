// Tests of trajectory playback: segment stepping, Catmull-Rom values, rings, short paths.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "path/playback.h"

namespace {

// Control points owned by the test, linked into a list (or a ring) inside `tr`.
struct TestPath {
    std::vector<TrajectoryPoint> points;
    Trajectory tr;
};

// Fills `path` like a freshly loaded record. Point i: target = position + (0, 0, 10),
// up = (0, i, 0).
void buildPath(TestPath& path, const std::vector<Vec3>& positions, int loop, int curves = 1) {
    std::vector<TrajectoryPoint>& points = path.points;
    points.resize(positions.size());
    for (size_t i = 0; i < points.size(); i++) {
        const Vec3& p = positions[i];
        points[i] = {p, {p.x, p.y, p.z + 10.0f}, {0.0f, float(i), 0.0f}, nullptr};
        points[i].next =
            i + 1 < points.size() ? &points[i + 1] : (loop == 1 ? &points[0] : nullptr);
    }
    path.tr.firstPoint = path.tr.currentPoint = &points[0];
    path.tr.curves = curves;
    path.tr.loop = loop;
}

std::vector<Vec3> pointsOnX(int count) {
    std::vector<Vec3> result;
    for (int i = 0; i < count; i++) {
        result.push_back({float(i), 0.0f, 0.0f});
    }
    return result;
}

void expectAt(const Vec3& v, float x, float y, float z) {
    EXPECT_NEAR(v.x, x, 1e-4f);
    EXPECT_NEAR(v.y, y, 1e-4f);
    EXPECT_NEAR(v.z, z, 1e-4f);
}

} // namespace

TEST(Playback, WorkedValueAndSegmentEnds) {
    TestPath path;
    buildPath(path, pointsOnX(4), 0);
    path.tr.t = 0.5f; // weights -0.125, 1.125, 1.125, 0.125 (subtracted), halved
    evaluateTrajectory(&path.tr);
    EXPECT_EQ(path.tr.position.x, 1.5f);

    TestPath curved;
    buildPath(curved, {{0, 0, 0}, {2, 5, -1}, {7, -3, 4}, {9, 9, 9}}, 0);
    evaluateTrajectory(&curved.tr);
    expectAt(curved.tr.position, 2, 5, -1);
    curved.tr.t = 1.0f;
    evaluateTrajectory(&curved.tr);
    expectAt(curved.tr.position, 7, -3, 4);
}

TEST(Playback, StepsOnlyPastOneAndOneBoundaryPerCall) {
    TestPath path;
    buildPath(path, pointsOnX(10), 0);
    Trajectory& tr = path.tr;
    tr.t = 0.75f;
    advanceTrajectory(0.25f, &tr);
    advanceTrajectory(0.0f, &tr);
    EXPECT_EQ(tr.t, 1.0f);
    EXPECT_EQ(tr.currentPoint, &path.points[0]);

    advanceTrajectory(2.5f, &tr); // 3.5: one boundary now, the rest later
    EXPECT_EQ(tr.currentPoint, &path.points[1]);
    EXPECT_EQ(tr.t, 2.5f);
    evaluateTrajectory(&tr); // the segment's cubic beyond its end: still on the line
    EXPECT_NEAR(tr.position.x, 4.5f, 1e-3f);
    advanceTrajectory(0.0f, &tr);
    advanceTrajectory(0.0f, &tr);
    EXPECT_EQ(tr.currentPoint, &path.points[3]);
    EXPECT_EQ(tr.t, 0.5f);
}

TEST(Playback, OpenPathsEndOnTheSecondToLastPoint) {
    for (int count : {4, 6}) {
        TestPath path;
        buildPath(path, {{0, 0, 0}, {1, 2, 3}, {4, 5, 6}, {9, 9, 9}, {3, 3, 3}, {0, 0, 0}}, 0);
        path.points[count - 1].next = nullptr;
        for (int frame = 0; frame < 40; frame++) {
            advanceTrajectory(0.1f, &path.tr);
            evaluateTrajectory(&path.tr);
        }
        EXPECT_EQ(path.tr.t, 1.0f);
        EXPECT_EQ(path.tr.currentPoint, &path.points[count - 4]);
        const Vec3& end = path.points[count - 2].position;
        EXPECT_EQ(path.tr.position.x, end.x);
        EXPECT_EQ(path.tr.position.z, end.z);
    }
}

TEST(Playback, RingsOfOneTwoAndThreePointsCirculate) {
    const std::vector<Vec3> all = {{3, -2, 8}, {10, 1, 0}, {20, 2, 5}};
    for (int count : {1, 2, 3}) {
        SCOPED_TRACE(count);
        const std::vector<Vec3> positions(all.begin(), all.begin() + count);
        TestPath path;
        buildPath(path, positions, 1);
        // At whole second k the current segment has just reached point (k + 1) mod count.
        for (int second = 1; second <= 2 * count + 1; second++) {
            for (int quarter = 0; quarter < 4; quarter++) {
                advanceTrajectory(0.25f, &path.tr);
            }
            evaluateTrajectory(&path.tr);
            const Vec3& p = positions[(second + 1) % count];
            expectAt(path.tr.position, p.x, p.y, p.z);
        }
    }
}

TEST(Playback, ShortOpenPathReportsEveryEvaluationAndKeepsItsValue) {
    TestPath path;
    buildPath(path, pointsOnX(3), 0, 3);
    path.tr.position = {7.0f, 8.0f, 9.0f};
    path.tr.currentPoint = nullptr; // no current point at all is handled the same way
    testing::internal::CaptureStdout();
    for (int frame = 0; frame < 3; frame++) {
        advanceTrajectory(0.4f, &path.tr);
        evaluateTrajectory(&path.tr);
        EXPECT_EQ(path.tr.currentPoint, &path.points[0]);
    }
    const std::string line = "Erreur de gestion de la m\xe9"
                             "moire!!!\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), line + line + line);
    expectAt(path.tr.position, 7, 8, 9);
    expectAt(path.tr.up, 0, 1, 0);
}

TEST(Playback, EmptyTrajectoryIsFinishedAndSilent) {
    Trajectory tr;
    tr.t = 0.5f;
    testing::internal::CaptureStdout();
    advanceTrajectory(3.0f, &tr);
    evaluateTrajectory(&tr);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(tr.t, 0.5f);
}

TEST(Playback, CurvesChooseTheEvaluatedTracks) {
    // {curves, target evaluated, up evaluated}; the loader's defaults stay otherwise.
    const int cases[][3] = {{1, 0, 0}, {2, 1, 0}, {3, 1, 1}, {4, 0, 0}, {0, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c[0]);
        TestPath path;
        buildPath(path, pointsOnX(4), 0, c[0]);
        path.tr.t = 1.0f;
        evaluateTrajectory(&path.tr);
        EXPECT_FLOAT_EQ(path.tr.position.x, 2.0f);
        expectAt(path.tr.target, c[1] ? 2 : 0, 0, c[1] ? 10 : 0);
        expectAt(path.tr.up, 0, c[2] ? 2 : 1, 0);
    }
}
