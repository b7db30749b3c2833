// The show timeline's arithmetic: event times, ticks and the frame-rate counter. (The fog
// density steps are checked through their console lines end to end.)
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/clock.h"

TEST(ShowClock, EventTimesAreTruncatedFloatSumsAndTheFirstTickCountsFromTheStart) {
    ShowClock clock;
    clock.showStart = 3.7f;
    setEventTimes(clock);
    EXPECT_EQ(std::vector<int>({clock.logoEnd, clock.introEnd, clock.particleStart, clock.sceneEnd,
                                clock.showEnd}),
              std::vector<int>({13, 28, 91, 125, 143}));
    ShowClock fresh;
    EXPECT_FLOAT_EQ(tickClockAt(fresh, 1250), 1.25f);
    EXPECT_FLOAT_EQ(fresh.frameTime, 1.25f);
    tickClockAt(fresh, 1300);
    EXPECT_EQ(fresh.lastTickMs, 1300);
    EXPECT_NEAR(fresh.frameTime, 0.05f, 1e-6f);
    EXPECT_FLOAT_EQ(fresh.now, 1.3f);
}

TEST(FrameCounter, ClosingCallIsCountedInNeitherWindow) {
    FrameCounter counter;
    for (int expected : {0, 0, 0, 3, 3, 3, 3}) { // the fourth call's sum 1.2 closes the window
        EXPECT_EQ(countFrame(counter, 0.3f), expected);
    }
    EXPECT_EQ(counter.frameCount, 3);
    // A sum of exactly one second closes the window (quarters add up exactly).
    FrameCounter exact;
    for (int expected : {0, 0, 0, 3, 3}) {
        EXPECT_EQ(countFrame(exact, 0.25f), expected);
    }
    EXPECT_EQ(exact.frameCount, 1);
    EXPECT_EQ(exact.frameTimeSum, 0.25f);
}
