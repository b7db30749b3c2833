// The show timeline's arithmetic: ticks, event times and the frame-rate counter.
#include <gtest/gtest.h>

#include "app/clock.h"
#include "app/settings.h"

TEST(ShowClock, EventTimesAreTruncatedFloatSums) {
    ShowClock clock;
    clock.showStart = 3.7f;
    setEventTimes(clock);
    EXPECT_EQ(clock.logoEnd, 13);
    EXPECT_EQ(clock.introEnd, 28);
    EXPECT_EQ(clock.particleStart, 91);
    EXPECT_EQ(clock.sceneEnd, 125);
    EXPECT_EQ(clock.showEnd, 143);
}

TEST(ShowClock, FirstTickMeasuresFromTheProcessStart) {
    ShowClock clock;
    EXPECT_FLOAT_EQ(tickClockAt(clock, 1250), 1.25f);
    EXPECT_FLOAT_EQ(clock.frameTime, 1.25f);
    tickClockAt(clock, 1300);
    EXPECT_EQ(clock.lastTickMs, 1300);
    EXPECT_FLOAT_EQ(clock.frameTime, 0.05f);
    EXPECT_FLOAT_EQ(clock.now, 1.3f);
}

TEST(FrameCounter, ClosingCallIsCountedInNeitherWindow) {
    FrameCounter counter;
    EXPECT_EQ(countFrame(counter, 0.3f), 0);
    EXPECT_EQ(countFrame(counter, 0.3f), 0);
    EXPECT_EQ(countFrame(counter, 0.3f), 0);
    EXPECT_EQ(counter.frameCount, 3);
    EXPECT_EQ(countFrame(counter, 0.3f), 3); // sum 1.2 closes the window
    EXPECT_EQ(counter.frameCount, 0);
    EXPECT_FLOAT_EQ(counter.frameTimeSum, 0.0f);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(countFrame(counter, 0.3f), 3);
    }
    EXPECT_EQ(counter.frameCount, 3);
}

TEST(FogDensity, StepsInDoubleOnTheStoredFloat) {
    // From the default, "n" five times ends just below zero and prints as -0.000000.
    const char* expected[] = {"0.040000", "0.030000",  "0.020000",
                              "0.010000", "-0.000000", "-0.010000"};
    float density = 0.05f;
    char text[32];
    for (const char* line : expected) {
        density = stepFogDensity(density, -0.01);
        snprintf(text, sizeof text, "%f", density);
        EXPECT_STREQ(text, line);
    }
    density = stepFogDensity(density, 0.01); // "N" counts up from the stored negative value
    snprintf(text, sizeof text, "%f", density);
    EXPECT_STREQ(text, "0.000000");
}
