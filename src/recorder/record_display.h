// The recorder's own X server: an Xvfb started for the run, so that no window shows on the
// user's screen and a machine without a display records all the same. Recorder side.
#pragma once

#include <string>

// Starts Xvfb on a free display and points DISPLAY at it; false with a message when it can't.
bool startOwnDisplay(std::string& error);

// Stops the server started by startOwnDisplay (safe in a signal handler, and more than once).
void stopOwnDisplay();
