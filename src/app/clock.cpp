// The show clock, the frame-rate counter and the program's one read of real time.
#include "app/clock.h"

#include <GL/freeglut.h>

//----------------------------------------------------------------------------------
// Global state
//----------------------------------------------------------------------------------
ShowClock showClock;
FrameCounter frameCounter;

static int (*clockSource)() = nullptr; // null: the toolkit's elapsed time
int clockOffsetMs = 0;

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
int readClockMs() {
    if (clockSource) {
        return clockSource() + clockOffsetMs;
    }
    return glutGet(GLUT_ELAPSED_TIME) + clockOffsetMs;
}

void setClockSource(int (*source)()) {
    clockSource = source;
}

float tickClock() {
    return tickClockAt(showClock, readClockMs());
}
