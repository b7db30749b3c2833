// Trajectory playback: segment stepping, open paths, rings, paths too short for a segment, and
// the tracks chosen by `curves`.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "path/playback.h"

namespace {

// Points linked into a list (or a ring) like a loaded path: target = position + (0, 0, 10),
// up = (0, i, 0).
struct TestPath {
    std::vector<TrajectoryPoint> points;
    Trajectory tr;
    TestPath(const std::vector<Vec3>& positions, int loop, int curves = 1)
        : points(positions.size()) {
        for (size_t i = 0; i < points.size(); i++) {
            const Vec3& p = positions[i];
            TrajectoryPoint* next = i + 1 < points.size() ? &points[i + 1]
                                    : loop == 1           ? &points[0]
                                                          : nullptr;
            points[i] = {p, {p.x, p.y, p.z + 10.0f}, {0.0f, float(i), 0.0f}, next};
        }
        tr.firstPoint = tr.currentPoint = &points[0];
        tr.curves = curves;
        tr.loop = loop;
    }
};

const std::vector<Vec3> ON_X = {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0},
                                {5, 0, 0}, {6, 0, 0}, {7, 0, 0}, {8, 0, 0}, {9, 0, 0}};

bool at(const Vec3& v, float x, float y, float z) {
    return std::abs(v.x - x) < 1e-4f && std::abs(v.y - y) < 1e-4f && std::abs(v.z - z) < 1e-4f;
}

} // namespace

TEST(Playback, WorkedValueOneBoundaryPerCallOnlyPastOneAndOpenPathsStop) {
    TestPath path(ON_X, 0);
    Trajectory& tr = path.tr;
    tr.t = 0.5f; // weights -0.125, 1.125, 1.125, -0.125
    evaluateTrajectory(&tr);
    EXPECT_EQ(tr.position.x, 1.5f);
    tr.t = 0.75f;
    advanceTrajectory(0.25f, &tr);
    advanceTrajectory(0.0f, &tr);
    EXPECT_TRUE(tr.t == 1.0f && tr.currentPoint == &path.points[0]); // exactly 1 does not step
    advanceTrajectory(2.5f, &tr); // 3.5: one boundary now, the rest later
    EXPECT_TRUE(tr.t == 2.5f && tr.currentPoint == &path.points[1]);
    evaluateTrajectory(&tr); // the segment's cubic beyond its end: still on the line
    EXPECT_NEAR(tr.position.x, 4.5f, 1e-3f);
    advanceTrajectory(0.0f, &tr);
    advanceTrajectory(0.0f, &tr);
    EXPECT_TRUE(tr.t == 0.5f && tr.currentPoint == &path.points[3]);

    TestPath curved({{0, 0, 0}, {2, 5, -1}, {7, -3, 4}, {9, 9, 9}, {1, 1, 1}, {3, 3, 3}}, 0);
    for (int count : {6, 4}) { // an open path stops at t 1 on its second-to-last point
        curved.points[count - 1].next = nullptr;
        curved.tr.currentPoint = curved.tr.firstPoint;
        curved.tr.t = 0;
        for (int frame = 0; frame < 40; frame++) {
            advanceTrajectory(0.1f, &curved.tr);
            evaluateTrajectory(&curved.tr);
        }
        const Vec3& end = curved.points[count - 2].position;
        EXPECT_TRUE(curved.tr.t == 1.0f && curved.tr.currentPoint == &curved.points[count - 4] &&
                    at(curved.tr.position, end.x, end.y, end.z))
            << count;
    }
}

TEST(Playback, RingsOfOneTwoAndThreePointsCirculate) {
    const std::vector<Vec3> all = {{3, -2, 8}, {10, 1, 0}, {20, 2, 5}};
    for (int count : {1, 2, 3}) {
        const std::vector<Vec3> positions(all.begin(), all.begin() + count);
        TestPath path(positions, 1);
        // At whole second k the current segment has just reached point (k + 1) mod count.
        for (int second = 1; second <= 2 * count + 1; second++) {
            for (int quarter = 0; quarter < 4; quarter++) {
                advanceTrajectory(0.25f, &path.tr);
            }
            evaluateTrajectory(&path.tr);
            const Vec3& p = positions[(second + 1) % count];
            EXPECT_TRUE(at(path.tr.position, p.x, p.y, p.z)) << count << " at " << second;
        }
    }
}

TEST(Playback, PathsWithoutASegment) {
    TestPath path(std::vector<Vec3>(ON_X.begin(), ON_X.begin() + 3), 0, 3);
    path.tr.position = {7.0f, 8.0f, 9.0f};
    path.tr.currentPoint = nullptr; // handled the same way
    testing::internal::CaptureStdout();
    for (int frame = 0; frame < 3; frame++) {
        advanceTrajectory(0.4f, &path.tr);
        evaluateTrajectory(&path.tr);
        EXPECT_EQ(path.tr.currentPoint, &path.points[0]);
    }
    const std::string line = "Erreur de gestion de la m\xe9moire!!!\n";
    EXPECT_EQ(testing::internal::GetCapturedStdout(), line + line + line);
    EXPECT_TRUE(at(path.tr.position, 7, 8, 9) && at(path.tr.up, 0, 1, 0));
    Trajectory empty; // no points at all: finished and silent
    empty.t = 0.5f;
    testing::internal::CaptureStdout();
    advanceTrajectory(3.0f, &empty);
    evaluateTrajectory(&empty);
    EXPECT_TRUE(testing::internal::GetCapturedStdout().empty() && empty.t == 0.5f);
}

TEST(Playback, CurvesChooseTheEvaluatedTracks) {
    // {curves, target evaluated, up evaluated}; the loader's defaults stay otherwise.
    const int cases[][3] = {{1, 0, 0}, {2, 1, 0}, {3, 1, 1}, {4, 0, 0}, {0, 0, 0}};
    for (const auto& c : cases) {
        TestPath path(ON_X, 0, c[0]);
        path.tr.t = 1.0f;
        evaluateTrajectory(&path.tr);
        EXPECT_TRUE(at(path.tr.position, 2, 0, 0) &&
                    at(path.tr.target, c[1] ? 2 : 0, 0, c[1] ? 10 : 0) &&
                    at(path.tr.up, 0, c[2] ? 2 : 1, 0))
            << c[0];
    }
}
