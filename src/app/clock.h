// The show clock: one ShowClock for the process, the frame-rate counter, and the one function
// that reads real time. Everything after the read is arithmetic that tests drive directly.
#pragma once

#include "path/show_clock.h"

extern ShowClock showClock;       // written by the show timeline only
extern FrameCounter frameCounter; // written by the idle callbacks only

// Milliseconds of real time since the process started; the only clock read of the program.
int readClockMs();

// Replaces the clock source (tests); null restores the toolkit's elapsed time.
void setClockSource(int (*source)());

// Milliseconds added to every clock read: 0 for the show, moved by the authoring mode's pause
// and seeks (written by app/author only).
extern int clockOffsetMs;

// Reads the clock and ticks the show clock.
float tickClock();
