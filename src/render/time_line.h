// The authoring mode's time line, drawn in the bottom letterbox band over a finished frame.
#pragma once

// Writes `status` (and `problem` below it when not empty) in the bottom band, with a bar that is
// `fraction` (0 to 1) of the band's width. Leaves the viewport and the GL state as it found them.
void drawTimeLine(const char* status, const char* problem, float fraction);
