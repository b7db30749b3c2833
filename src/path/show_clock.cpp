// The show clock's arithmetic: ticks, the frame-rate counter and the event times. Everything
// here is plain arithmetic on milliseconds, so the player, the recorder and the seeks share it.
#include "path/show_clock.h"

#include "base/show_files.h"

float tickClockAt(ShowClock& clock, int ms) {
    clock.frameTime = (float)((ms - clock.lastTickMs) / 1000.0);
    clock.lastTickMs = ms;
    clock.now = (float)(ms / 1000.0);
    return clock.now;
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
