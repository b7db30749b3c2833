// The recording clock: the show's clock source while recording. Show time moves only when the
// frame loop steps it, in whole milliseconds, and each step runs the show's idle as the player's
// idle, called without pause, would have run it. Recorder side.
#pragma once

#include <cstdint>

// The clock source: the show milliseconds of the last step.
int recordClockMs();

// Sets the clock to `ms` without running the show: where a clip's simulation left the show.
void holdRecordClockAt(int64_t ms);

// Moves the clock on to `ms` and runs the show's `idle` there. When the 3D scene starts in
// between, `idle` runs first at the last millisecond before it, where the player's idle would
// have run last: the scene's first step then lasts a millisecond, not a whole frame (which would
// show every later frame one frame ahead of its time).
void stepShowTo(int64_t ms, void (*idle)());
