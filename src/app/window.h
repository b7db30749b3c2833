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

// The display and idle functions a loaded map runs (the recorder calls them frame by frame).
struct ShowCallbacks {
    void (*display)(); // draws one frame and presents it
    void (*idle)();    // advances the show by one clock read
};
ShowCallbacks showCallbacksFor(const MapReport& report);

// Sends every finished frame to `sink` (called after the frame is flushed, in place of the
// buffer swap) instead of the window; null restores the window.
void setFrameSink(void (*sink)());

// Draws `overlay` over every finished frame before it is presented (the authoring time line);
// null: nothing.
void setFrameOverlay(void (*overlay)());

// Stops and closes the music and releases the camera path when it was loaded.
void quitShow();
