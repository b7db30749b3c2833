// The camera state and its maths: mouse turns and key moves of the free camera. Path side: no
// GL, no toolkit (the matrices are render/camera_view, the callbacks app/camera_input).
#include "path/camera.h"

#include <cmath>

//----------------------------------------------------------------------------------
// Global state
//----------------------------------------------------------------------------------
CameraState camera;

//----------------------------------------------------------------------------------
// Local helpers
//----------------------------------------------------------------------------------
static const double CAMERA_STEP = 0.1; // world units per key move
static const double CAMERA_PI = 3.1415926535898;

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
