// Camera input: the toolkit's mouse callbacks and the key moves of the free camera. App side.
#include "app/camera_input.h"

#include <GL/freeglut.h>

#include "path/camera.h"
#include "render/camera_view.h"

// Mouse callback: a press of the left, middle or right button records where the drag starts.
void onMouseButton(int button, int state, int x, int y) {
    const bool pressed = state == GLUT_DOWN;
    const bool knownButton =
        button == GLUT_LEFT_BUTTON || button == GLUT_MIDDLE_BUTTON || button == GLUT_RIGHT_BUTTON;
    if (pressed && knownButton) {
        camera.lastMouseX = x;
        camera.lastMouseY = y;
    }
}

// Motion callback: turn, apply the free camera, redraw.
void onMouseDrag(int x, int y) {
    turnFreeCamera(camera, x, y);
    applyFreeCamera();
    glutPostRedisplay();
}

// Key move: step, apply the free camera, redraw.
void moveFreeCamera(CameraMove move) {
    stepFreeCamera(camera, move);
    applyFreeCamera();
    glutPostRedisplay();
}
