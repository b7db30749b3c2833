// The recording clock: whole milliseconds of show time, moved by the frame loop only, with the
// show's idle run at each step and at the last millisecond before the scene starts. Recorder side.
#include "recorder/record_clock.h"

#include "app/clock.h"

//----------------------------------------------------------------------------------
// State
//----------------------------------------------------------------------------------
static int64_t clockMs = 0; // show time of the last step; written by stepShowTo only

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
int recordClockMs() {
    return (int)clockMs;
}

void holdRecordClockAt(int64_t ms) {
    clockMs = ms;
}

void stepShowTo(int64_t ms, void (*idle)()) {
    // The scene moves by the time since the last idle: an idle a whole frame before its start
    // would count that frame of the intro as scene time.
    int64_t beforeScene = (int64_t)showClock.introEnd * 1000 - 1;
    if (clockMs < beforeScene && beforeScene < ms) {
        clockMs = beforeScene;
        idle();
    }
    clockMs = ms;
    idle();
}
