// The scene idle driven with a fake clock: the scene's first second, the end lines and the restart.
#include <gtest/gtest.h>

#include "app/clock.h"
#include "app/show.h"
#include "path/camera.h"
#include "path/trajectory_file.h"
#include "scene/scene_state.h"
#include "base/text_reader.h"
#include "support/test_files.h"

namespace {

int fakeMs = 0;
int fakeClock() {
    return fakeMs;
}

// An open path of n points one unit apart along x, as the loader leaves it.
Trajectory straightPath(int n) {
    std::string text =
        "t\nPOSITIONS " + std::to_string(n) + "\nCURVES 1\nLOOP 0\nSPEED 1\nSTART 0\n";
    for (int i = 0; i < n; i++) {
        text += std::to_string(i) + " 0 0\n";
    }
    TextReader reader;
    readerFromText(reader, "path.dpl", text);
    Trajectory path;
    TrajectoryFileLines lines;
    EXPECT_TRUE(parseTrajectory(reader, path, lines));
    return path;
}

} // namespace

// Logo 13, intro 28, particles 91, scene end 125, end 143 for a show started at 3.7 s.
TEST(SceneIdle, FliesFromTheSceneStartPrintsFinAndTheRestartRewindsEveryPathKeepingT) {
    setClockSource(fakeClock);
    showClock = ShowClock();
    frameCounter = FrameCounter();
    showClock.showStart = 3.7f;
    setEventTimes(showClock);
    showClock.lastTickMs = 3700;
    camera.cameraPath = straightPath(10);
    objectList.assign(1, SceneObject());
    objectList[0].path = straightPath(8);
    objectsLoaded = 1;
    runSceneIdle(27999);
    EXPECT_EQ(camera.cameraPath.t, 0.0f);
    runSceneIdle(28000); // now == introEnd
    EXPECT_GT(camera.cameraPath.t, 0.0f);
    for (int ms = 28250; ms < 33000; ms += 250) {
        runSceneIdle(ms);
    }
    EXPECT_GT(camera.cameraPath.position.x, 2.0f);
    EXPECT_GT(showClock.shownFps, 0);
    // The object flies along +x: its last step is recorded as previous minus new position.
    const SceneObject& object = objectList[0];
    EXPECT_GT(object.path.position.x, object.previousPosition.x);
    EXPECT_FLOAT_EQ(object.motionDelta.x, object.previousPosition.x - object.path.position.x);
    EXPECT_EQ(object.motionDelta.y, 0.0f);
    ASSERT_NE(camera.cameraPath.currentPoint, camera.cameraPath.firstPoint);
    EXPECT_EQ(printedBy([] {
                  runSceneIdle(125000); // now == sceneEnd
                  runSceneIdle(125010);
              }),
              "FIN\nFIN\n");
    const float cameraT = camera.cameraPath.t, objectT = objectList[0].path.t;
    fakeMs = 143000;
    runSceneIdle(143000); // now == showEnd: the restart happens at that second
    EXPECT_TRUE(camera.cameraPath.currentPoint == camera.cameraPath.firstPoint &&
                objectList[0].path.currentPoint == objectList[0].path.firstPoint);
    // Paths keep t; the new start is that second; the restart's own read leaves the tick alone.
    EXPECT_EQ((std::vector<float>{camera.cameraPath.t, objectList[0].path.t, showClock.showStart,
                                  showClock.now, float(showClock.logoEnd), float(showClock.showEnd),
                                  float(showClock.lastTickMs)}),
              (std::vector<float>{cameraT, objectT, 143, 0, 153, 283, 143000}));
    setClockSource(nullptr);
    freeTrajectory(&camera.cameraPath);
    freeTrajectory(&objectList[0].path);
    objectList.clear();
}
