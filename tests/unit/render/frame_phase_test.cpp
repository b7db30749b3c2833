// Phase choice of the scene frame at and around each whole-second event time.
#include <gtest/gtest.h>

#include "render/frame.h"

namespace {

// Event times of a show that started at 3.7 s.
ShowClock clockAt(float now) {
    ShowClock clock;
    clock.now = now;
    clock.logoEnd = 13;
    clock.introEnd = 28;
    clock.particleStart = 91;
    clock.sceneEnd = 125;
    clock.showEnd = 143;
    return clock;
}

TEST(FramePhase, LogoUntilJustBeforeLogoEnd) {
    EXPECT_EQ(framePhase(clockAt(0.0f)), PHASE_LOGO);
    EXPECT_EQ(framePhase(clockAt(12.999f)), PHASE_LOGO);
}

TEST(FramePhase, ExactlyLogoEndIsOnlyCleared) {
    EXPECT_EQ(framePhase(clockAt(13.0f)), PHASE_CLEARED);
}

TEST(FramePhase, IntroStrictlyBetweenLogoEndAndIntroEnd) {
    EXPECT_EQ(framePhase(clockAt(13.001f)), PHASE_INTRO);
    EXPECT_EQ(framePhase(clockAt(27.999f)), PHASE_INTRO);
}

TEST(FramePhase, SceneIncludesIntroEndAndExcludesSceneEnd) {
    EXPECT_EQ(framePhase(clockAt(28.0f)), PHASE_SCENE);
    EXPECT_EQ(framePhase(clockAt(124.99f)), PHASE_SCENE);
    EXPECT_EQ(framePhase(clockAt(125.0f)), PHASE_END);
}

TEST(FramePhase, EndLastsPastShowEnd) {
    EXPECT_EQ(framePhase(clockAt(142.9f)), PHASE_END);
    EXPECT_EQ(framePhase(clockAt(143.0f)), PHASE_END);
    EXPECT_EQ(framePhase(clockAt(500.0f)), PHASE_END);
}

// The tests run in order: with no intro span, now == logoEnd == introEnd is already the scene.
TEST(FramePhase, FirstHoldingTestDecidesWhenEventsCoincide) {
    ShowClock clock = clockAt(13.0f);
    clock.introEnd = 13;
    EXPECT_EQ(framePhase(clock), PHASE_SCENE);
    clock.sceneEnd = 13;
    EXPECT_EQ(framePhase(clock), PHASE_END);
}

} // namespace
