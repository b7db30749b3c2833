// The phase of the scene frame from the show clock: whole-second events against a real clock,
// the first test that holds deciding, the instant of the logo's end left cleared.
#include <gtest/gtest.h>

#include "render/frame.h"

TEST(FramePhase, EachMomentOfTheShowHasItsPhase) {
    ShowClock clock;
    clock.logoEnd = 13, clock.introEnd = 28, clock.sceneEnd = 125, clock.showEnd = 143;
    const struct {
        float now;
        ShowPhase phase;
    } cases[] = {
        {0.0f, PHASE_LOGO},    {12.99f, PHASE_LOGO}, {13.0f, PHASE_CLEARED}, {13.01f, PHASE_INTRO},
        {27.99f, PHASE_INTRO}, {28.0f, PHASE_SCENE}, {124.99f, PHASE_SCENE}, {125.0f, PHASE_END},
        {142.99f, PHASE_END},  {143.0f, PHASE_END},  {500.0f, PHASE_END},
    };
    for (const auto& c : cases) {
        clock.now = c.now;
        EXPECT_EQ(framePhase(clock), c.phase) << c.now;
    }
}
