// The window and its callbacks: creation, the letterboxed viewport, the display wrappers and the
// clean-up of the quit keys.
#pragma once

#include "scene/map.h"

// Initialises the toolkit with a local copy of the argument count, creates the 640 x 480 window
// "test" at (0, 0) and registers the six start-up callbacks. Returns false, before any window,
// when the toolkit took the map name as an option of its own.
bool initWindow(int argc, char** argv);

// Reshape callback: viewport (0, 50, width, height - 100), nothing else.
void onReshape(int width, int height);

// Switches the display, idle and motion callbacks as the loaded map asks.
void applyMapReport(const MapReport& report);

// Stops and closes the music and releases the camera path when it was loaded.
void quitShow();
