// The fog density keys: "n" takes 0.01 off and "N" adds it, in double on the stored float.
#include <gtest/gtest.h>

#include "render/render_settings.h"

TEST(RenderSettings, FogDensityStepsAreDoubleSumsStoredAsFloat) {
    const struct {
        float density;
        double step;
        float expected;
    } cases[] = {
        {0.05f, 0.01, (float)((double)0.05f + 0.01)},
        {0.05f, -0.01, (float)((double)0.05f - 0.01)},
        {0.0f, -0.01, -0.01f}, // no floor: the density goes below zero
        {1e8f, 0.01, 1e8f},    // too small a step to show on a large float
    };
    for (const auto& c : cases) {
        EXPECT_EQ(stepFogDensity(c.density, c.step), c.expected) << c.density << " " << c.step;
    }
}
