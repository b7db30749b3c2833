// The show timeline: show start, the scene idle with its phases and restart, the viewer idle.
#include "app/show.h"

#include <GL/freeglut.h>
#include <cstdio>

#include "app/clock.h"
#include "render/render_settings.h"
#include "path/camera.h"
#include "render/camera_view.h"
#include "render/particles.h"
#include "render/screens.h"
#include "render/show_step.h"
#include "render/skybox.h"
#include "scene/scene_state.h"
#include "sound/music.h"

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
void startShow() {
    objectsLoaded = 0;
    renderSettings.cursorShape = 0;
    camera.yaw = 0.0f;
    camera.pitch = 0.0f;
    worldList.clear();
    treeList.clear();
    objectList.clear();
    setRenderDefaults(renderSettings);
    initParticles(particleSystem, 0.0f, 0.0f, 0.0f, 0.0f, 200.0f, 0.0f, 1.0f);
    loadSkyBox();
    loadScreenPictures();
    initMusic();
    openMusic();
    showClock.showStart = tickClock();
    setEventTimes(showClock);
    soundStreamPlay(-1, musicStream);
}

// Moves the camera path and every object one frame along, then the path camera.
static void advanceScene(float frameTime) {
    advanceScenePaths(frameTime * 1.0f);
    showClock.shownFps = countFrame(frameCounter, frameTime);
    applyPathCamera();
}

// Music again from the start, every path on its first segment (t kept), new event times.
static void restartShow() {
    soundStreamStop(musicStream);
    camera.cameraPath.currentPoint = camera.cameraPath.firstPoint;
    for (SceneObject& object : objectList) {
        object.path.currentPoint = object.path.firstPoint;
    }
    showClock.showStart = (float)(readClockMs() / 1000.0);
    showClock.now = 0.0f;
    setEventTimes(showClock);
    soundStreamPlay(-1, musicStream);
}

void runSceneIdle(int ms) {
    float now = tickClockAt(showClock, ms);
    if (now < showClock.introEnd) {
        return; // logo and intro: nothing advances
    }
    if (now < showClock.sceneEnd) {
        advanceScene(showClock.frameTime);
        return;
    }
    if (now < showClock.showEnd) {
        printf("FIN\n");
        return;
    }
    restartShow();
}

void sceneIdle() {
    runSceneIdle(readClockMs());
    glutPostRedisplay();
}

void viewerIdle() {
    showClock.shownFps = countFrame(frameCounter, showClock.frameTime);
    glutPostRedisplay();
}
