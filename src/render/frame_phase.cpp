// Phase choice of the scene frame: which part of the show the clock is in.
#include "render/frame.h"

// The whole-second event times are compared with the real-valued clock; the first test that
// holds decides, and the instant now == logoEnd matches none of the four phases.
ShowPhase framePhase(const ShowClock& clock) {
    const float now = clock.now;
    if (now < clock.logoEnd) {
        return PHASE_LOGO;
    }
    if (clock.logoEnd < now && now < clock.introEnd) {
        return PHASE_INTRO;
    }
    if (clock.introEnd <= now && now < clock.sceneEnd) {
        return PHASE_SCENE;
    }
    if (clock.sceneEnd <= now) {
        return PHASE_END;
    }
    return PHASE_CLEARED;
}
