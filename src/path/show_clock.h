// ShowClock: the show timeline's clock and event times. The record is here so that the frame
// (render/) can read it; the one instance and its arithmetic belong to the show (app/clock).
#pragma once

struct ShowClock {
    float now = 0.0f;       // seconds since the process started, as of the last tick
    float frameTime = 0.0f; // seconds between the last two ticks
    int lastTickMs = 0;     // milliseconds since the process started, as of the last tick
    float showStart = 0.0f; // seconds at which the current run of the show began
    int logoEnd = 0;        // whole second: logo picture gives way to the intro picture
    int introEnd = 0;       // whole second: the 3D scene begins
    int particleStart = 0;  // whole second: emitting objects trail particles
    int sceneEnd = 0;       // whole second: the end picture begins
    int showEnd = 0;        // whole second: the show restarts
    int shownFps = 0;       // frame rate written over the scene
};

struct FrameCounter {
    int frameCount = 0;        // frames counted in the current window of about one second
    float frameTimeSum = 0.0f; // frame times summed in the current window, seconds
    int framesPerSecond = 0;   // count of the last completed window
};

// One tick at `ms`: frameTime, lastTickMs and now; returns now.
float tickClockAt(ShowClock& clock, int ms);

// One step of the frame-rate counter with the clock's frame time; returns framesPerSecond.
int countFrame(FrameCounter& counter, float frameTime);

// The five event times from showStart, in the show's order: logo, intro, scene end, show end,
// particles. Each is the truncation of the float sum.
void setEventTimes(ShowClock& clock);
