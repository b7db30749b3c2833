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
