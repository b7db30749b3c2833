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
    EXPECT_TRUE(tickClockAt(fresh, 1250) == 1.25f && fresh.frameTime == 1.25f);
    tickClockAt(fresh, 1300);
    EXPECT_TRUE(fresh.lastTickMs == 1300 && std::abs(fresh.frameTime - 0.05f) < 1e-6f &&
                fresh.now == 1.3f);
}

TEST(FrameCounter, ClosingCallIsCountedInNeitherWindow) {
    // The fourth call's sum 1.2 closes the window; so does a sum of exactly one second (quarters
    // add up exactly).
    for (float step : {0.3f, 0.25f}) {
        FrameCounter counter;
        for (int expected : {0, 0, 0, 3, 3, 3, 3}) {
            EXPECT_EQ(countFrame(counter, step), expected) << step;
        }
        EXPECT_TRUE(counter.frameCount == 3 && counter.frameTimeSum == step * 3) << step;
    }
}
