// The two cameras' state: the free camera (mouse and keys) and the path camera (camera.dpl).
// Path side: state and maths only; render/camera_view builds their matrices.
#pragma once

#include "path/trajectory.h"
#include "base/vec3.h"

struct CameraState {
    Vec3 eye = {0, 0, 0}; // free-camera position
    float yaw = 0.0f;     // degrees about the vertical axis, kept in [0, 360) by one wrap step
    float pitch = 0.0f;   // degrees of tilt, wrapped like yaw
    int lastMouseX = 0;   // last mouse position, window pixels
    int lastMouseY = 0;
    int anime = 0;         // camera-file flag: 1 selects the path camera
    Trajectory cameraPath; // the camera trajectory, loaded when anime is 1
};

// Written by the camera section (scene/), the show (app/), mouse and keys (app/); read by the
// frame and the camera matrices (render/).
extern CameraState camera;

enum CameraMove { MOVE_FORWARD, MOVE_BACK, MOVE_LEFT, MOVE_RIGHT, MOVE_UP, MOVE_DOWN };

// Pure state changes, testable without a window.
void turnFreeCamera(CameraState& state, int x, int y);
void stepFreeCamera(CameraState& state, CameraMove move);
