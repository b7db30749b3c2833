// The show clock, the frame-rate counter and the program's one read of real time.
#include "app/clock.h"

#include "base/show_files.h"

#include <GL/freeglut.h>

//----------------------------------------------------------------------------------
// Global state
//----------------------------------------------------------------------------------
ShowClock showClock;
FrameCounter frameCounter;

static int (*clockSource)() = nullptr; // null: the toolkit's elapsed time

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
int readClockMs() {
    if (clockSource) {
        return clockSource();
    }
    return glutGet(GLUT_ELAPSED_TIME);
}

void setClockSource(int (*source)()) {
    clockSource = source;
}

float tickClockAt(ShowClock& clock, int ms) {
    clock.frameTime = (float)((ms - clock.lastTickMs) / 1000.0);
    clock.lastTickMs = ms;
    clock.now = (float)(ms / 1000.0);
    return clock.now;
}

float tickClock() {
    return tickClockAt(showClock, readClockMs());
}

int countFrame(FrameCounter& counter, float frameTime) {
    counter.frameTimeSum = counter.frameTimeSum + frameTime;
    if (counter.frameTimeSum < 1.0f) {
        counter.frameCount = counter.frameCount + 1;
    } else {
        // The call that closes a window is counted in neither window.
        counter.framesPerSecond = counter.frameCount;
        counter.frameCount = 0;
        counter.frameTimeSum = 0.0f;
    }
    return counter.framesPerSecond;
}

void setEventTimes(ShowClock& clock) {
    clock.logoEnd = (int)(clock.showStart + (float)SHOW_LOGO_END);
    clock.introEnd = (int)(clock.showStart + (float)SHOW_INTRO_END);
    clock.sceneEnd = (int)(clock.showStart + (float)SHOW_SCENE_END);
    clock.showEnd = (int)(clock.showStart + (float)SHOW_END);
    clock.particleStart = (int)(clock.showStart + (float)SHOW_PARTICLE_START);
}
