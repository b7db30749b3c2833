// The free camera (mouse turns, key moves) and the path camera: both write the whole view,
// perspective included, into the projection matrix and leave the modelview matrix current.
#include "path/camera.h"

#include <GL/glut.h>

#include <cmath>

//----------------------------------------------------------------------------------
// Global state
//----------------------------------------------------------------------------------
CameraState camera;

//----------------------------------------------------------------------------------
// Local helpers
//----------------------------------------------------------------------------------
static const double CAMERA_FOV = 60.0;   // vertical field of view, degrees
static const double CAMERA_ASPECT = 1.0; // fixed, whatever the window's shape
static const double CAMERA_NEAR = 0.1;   // near clipping plane, world units
static const double CAMERA_FAR = 4000.0; // far clipping plane, world units
static const double CAMERA_STEP = 0.1;   // world units per key move
static const double CAMERA_PI = 3.1415926535898;

// Projection matrix selected, reset and given the fixed perspective.
static void loadCameraPerspective() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(CAMERA_FOV, CAMERA_ASPECT, CAMERA_NEAR, CAMERA_FAR);
}

// Brings an angle back into [0, 360) by at most one step each way; larger jumps stay outside.
static void wrapAngleOnce(float& angle) {
    if (angle >= 360.0) {
        angle -= 360.0;
    }
    if (angle < 0.0) {
        angle += 360.0;
    }
}

// Degrees to radians with the program's fixed value of pi.
static double toRadians(double degrees) {
    return degrees * 2.0 * CAMERA_PI / 360.0;
}

//----------------------------------------------------------------------------------
// Applying the cameras
//----------------------------------------------------------------------------------

// Free camera: perspective, tilt by pitch, turn by yaw, then move the world by -eye.
void applyFreeCamera() {
    loadCameraPerspective();
    glRotatef(camera.pitch, -1.0f, 0.0f, 0.0f);
    glRotatef(camera.yaw, 0.0f, -1.0f, 0.0f);
    glTranslatef(-camera.eye.x, -camera.eye.y, -camera.eye.z);
    glMatrixMode(GL_MODELVIEW);
}

// Path camera: perspective, then look from the path's position at its target, y up.
void applyPathCamera() {
    const Vec3& eye = camera.cameraPath.position;
    const Vec3& centre = camera.cameraPath.target;
    loadCameraPerspective();
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
}

//----------------------------------------------------------------------------------
// Pure state changes
//----------------------------------------------------------------------------------

// One degree per pixel of drag measured from the last mouse position, then one wrap step.
void turnFreeCamera(CameraState& state, int x, int y) {
    // Measured in 64 bits: extreme coordinates must not overflow the difference.
    const long long dy = static_cast<long long>(y) - state.lastMouseY;
    const long long dx = static_cast<long long>(x) - state.lastMouseX;
    state.pitch = state.pitch - static_cast<float>(dy);
    state.yaw = state.yaw - static_cast<float>(dx);
    wrapAngleOnce(state.yaw);
    wrapAngleOnce(state.pitch);
    state.lastMouseX = x;
    state.lastMouseY = y;
}

// One key move of 0.1 in the horizontal plane (by yaw) or vertically; computed in double.
void stepFreeCamera(CameraState& state, CameraMove move) {
    const double a = toRadians(state.yaw);
    const double b = toRadians(90.0 - state.yaw);
    Vec3& eye = state.eye;
    switch (move) {
    case MOVE_FORWARD:
        eye.z = static_cast<float>(eye.z - cos(a) * CAMERA_STEP);
        eye.x = static_cast<float>(eye.x - sin(a) * CAMERA_STEP);
        break;
    case MOVE_BACK:
        eye.z = static_cast<float>(eye.z + cos(a) * CAMERA_STEP);
        eye.x = static_cast<float>(eye.x + sin(a) * CAMERA_STEP);
        break;
    case MOVE_LEFT:
        eye.x = static_cast<float>(eye.x - sin(b) * CAMERA_STEP);
        eye.z = static_cast<float>(eye.z + cos(b) * CAMERA_STEP);
        break;
    case MOVE_RIGHT:
        eye.x = static_cast<float>(eye.x + sin(b) * CAMERA_STEP);
        eye.z = static_cast<float>(eye.z - cos(b) * CAMERA_STEP);
        break;
    case MOVE_UP:
        eye.y = static_cast<float>(eye.y + CAMERA_STEP);
        break;
    case MOVE_DOWN:
        eye.y = static_cast<float>(eye.y - CAMERA_STEP);
        break;
    }
}

//----------------------------------------------------------------------------------
// Toolkit callbacks and key moves
//----------------------------------------------------------------------------------

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
