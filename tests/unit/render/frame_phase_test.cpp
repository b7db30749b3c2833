// Phase choice of the scene frame at and around each whole-second event time.
#include <gtest/gtest.h>

#include "render/frame.h"

TEST(FramePhase, BoundariesOfAShowStartedAt3Point7) {
    const struct {
        float now;
        int introEnd, sceneEnd;
        ShowPhase phase;
    } cases[] = {
        {0, 28, 125, PHASE_LOGO},
        {12.999f, 28, 125, PHASE_LOGO},
        {13, 28, 125, PHASE_CLEARED},
        {13.001f, 28, 125, PHASE_INTRO},
        {27.999f, 28, 125, PHASE_INTRO},
        {28, 28, 125, PHASE_SCENE},
        {124.99f, 28, 125, PHASE_SCENE},
        {125, 28, 125, PHASE_END},
        {143, 28, 125, PHASE_END},
        {500, 28, 125, PHASE_END},
        // Coinciding events: the first test that holds decides.
        {13, 13, 125, PHASE_SCENE},
        {13, 13, 13, PHASE_END},
    };
    for (const auto& c : cases) {
        ShowClock clock;
        clock.now = c.now;
        clock.logoEnd = 13;
        clock.introEnd = c.introEnd;
        clock.particleStart = 91;
        clock.sceneEnd = c.sceneEnd;
        clock.showEnd = 143;
        EXPECT_EQ(framePhase(clock), c.phase) << c.now << " " << c.introEnd << " " << c.sceneEnd;
    }
}
