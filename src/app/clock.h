// The show clock: one ShowClock for the process, the frame-rate counter, and the one function
// that reads real time. Everything after the read is arithmetic that tests drive directly.
#pragma once

#include "path/show_clock.h"

struct FrameCounter {
    int frameCount = 0;        // frames counted in the current window of about one second
    float frameTimeSum = 0.0f; // frame times summed in the current window, seconds
    int framesPerSecond = 0;   // count of the last completed window
};

extern ShowClock showClock;       // written by the show timeline only
extern FrameCounter frameCounter; // written by the idle callbacks only

// Milliseconds of real time since the process started; the only clock read of the program.
int readClockMs();

// Replaces the clock source (tests); null restores the toolkit's elapsed time.
void setClockSource(int (*source)());

// One tick at `ms`: frameTime, lastTickMs and now; returns now.
float tickClockAt(ShowClock& clock, int ms);

// Reads the clock and ticks the show clock.
float tickClock();

// One step of the frame-rate counter with the clock's frame time; returns framesPerSecond.
int countFrame(FrameCounter& counter, float frameTime);

// The five event times from showStart, in the show's order: logo, intro, scene end, show end,
// particles. Each is the truncation of the float sum.
void setEventTimes(ShowClock& clock);
