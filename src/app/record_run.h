// The recorder's frame loop: the show's own idle and display functions driven by a clock that
// moves exactly one frame per step, each finished frame read back and handed to the encoder.
// App side: the only place that connects the show to the record module.
#pragma once

#include <csignal>
#include <cstdint>
#include <string>

#include "record/encoder.h"

extern volatile sig_atomic_t stopSignal; // 0, or the signal that asks to stop (set by handlers)

struct RecordTimes {
    double drawSeconds = 0.0;     // idle and display: the show's own work and GL
    double readbackSeconds = 0.0; // glReadPixels of each frame
    double waitSeconds = 0.0;     // drawing held up by a full encoder queue
    double wallSeconds = 0.0;     // the whole loop, encoder flush included
    EncoderTimes encoder;         // the encoding thread's share
};

// The recording clock's reading (the show's clock source while recording): milliseconds of show
// time of the frame being made.
int recordClockMs();

// Runs frames `firstFrame` to `frameCount` - 1 at `fps` through the show's callbacks into
// `recording` (the show simulated up to firstFrame), then finishes it; false with a message on
// failure or stop request (the recording is then abandoned). The music's cues are placed from
// the first frame's show time.
bool recordFrames(Recording* recording, void (*idle)(), void (*display)(), int64_t firstFrame,
                  int64_t frameCount, int fps, RecordTimes& times, std::string& error);
