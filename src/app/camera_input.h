// Camera input: mouse callbacks and key moves of the free camera. App side: talks to the toolkit.
#pragma once

#include "path/camera.h"

// Mouse callback: a press of the left, middle or right button records where the drag starts.
void onMouseButton(int button, int state, int x, int y);

// Motion callback: turn, apply the free camera, redraw.
void onMouseDrag(int x, int y);

// Key move: step, apply the free camera, redraw.
void moveFreeCamera(CameraMove move);
