// The window and its callbacks: creation, the letterboxed viewport, the display wrappers and the
// clean-up of the quit keys.
#include "app/window.h"

#include <GL/freeglut.h>
#include <cstdio>

#include "app/clock.h"
#include "app/display_watch.h"
#include "app/keys.h"
#include "app/show.h"
#include "app/camera_input.h"
#include "base/show_layout.h"
#include "path/trajectory_file.h"
#include "render/frame.h"
#include "render/screens.h"
#include "scene/scene_state.h"
#include "sound/music.h"

//----------------------------------------------------------------------------------
// Global state
//----------------------------------------------------------------------------------
static void (*frameSink)() = nullptr;    // null: frames go to the window (set by the recorder)
static void (*frameOverlay)() = nullptr; // drawn over each frame (set by the authoring mode)

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------

// A finished frame goes to the window, or to the recorder when it took the frames over.
static void presentFrame() {
    if (frameOverlay) {
        frameOverlay();
    }
    if (frameSink) {
        frameSink();
        return;
    }
    glutSwapBuffers();
}

// Display callback before a map with objects or trees: the logo picture only.
static void displayStartFrame() {
    drawStartFrame();
    glFlush();
    presentFrame();
}

// Display callback of a map with objects or trees.
static void displaySceneFrame() {
    drawSceneFrame(showClock);
    glFlush();
    presentFrame();
}

bool initWindow(int argc, char** argv) {
    int argumentCount = argc; // the toolkit may change it; main keeps its own
    watchDisplayLoss();
    glutInit(&argumentCount, argv);
    if (argumentCount < 2 || argv[1] == nullptr) {
        return false;
    }
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(SHOW_WINDOW_WIDTH, SHOW_WINDOW_HEIGHT);
    glutInitWindowPosition(0, 0);
    glutCreateWindow("test");
    glutDisplayFunc(displayStartFrame);
    glutKeyboardFunc(onKey);
    glutReshapeFunc(onReshape);
    glutMouseFunc(onMouseButton);
    glutMotionFunc(onMouseDrag);
    glutIdleFunc(viewerIdle);
    return true;
}

void onReshape(int width, int height) {
    glViewport(0, SHOW_LETTERBOX_BAND, width, height - 2 * SHOW_LETTERBOX_BAND);
}

void applyMapReport(const MapReport& report) {
    ShowCallbacks callbacks = showCallbacksFor(report);
    if (report.animatedCamera) {
        glutMotionFunc(nullptr);
    }
    glutIdleFunc(callbacks.idle);
    glutDisplayFunc(callbacks.display);
}

ShowCallbacks showCallbacksFor(const MapReport& report) {
    return ShowCallbacks{report.hasObjectsOrTrees ? displaySceneFrame : displayStartFrame,
                         report.animatedCamera ? sceneIdle : viewerIdle};
}

void setFrameSink(void (*sink)()) {
    frameSink = sink;
}

void setFrameOverlay(void (*overlay)()) {
    frameOverlay = overlay;
}

void quitShow() {
    soundStreamStop(musicStream);
    closeMusic();
    if (camera.anime == 1) {
        freeTrajectory(&camera.cameraPath);
    }
    releaseScene();
}
