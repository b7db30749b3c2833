// The view volume's planes and the box test: a box wholly outside one plane is skipped, one within
// the rounding margin of a plane or straddling it is kept, and an empty box is never drawn.
#include <gtest/gtest.h>

#include "render/view_volume.h"

namespace {

// The clip volume of the identity matrix: -1 <= x, y, z <= 1.
ViewVolume unitVolume() {
    const double identity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    return viewVolumeOf(identity);
}

} // namespace

TEST(ViewVolume, BoxIsSkippedOnlyWhenWhollyOutsideOnePlane) {
    const ViewVolume volume = unitVolume();
    const struct {
        Box3 box;
        bool mayShow;
        const char* what;
    } cases[] = {
        {{{-0.5f, -0.5f, -0.5f}, {0.5f, 0.5f, 0.5f}}, true, "inside"},
        {{{-5, -5, -5}, {5, 5, 5}}, true, "around the whole volume"},
        {{{0.5f, 0.5f, 0.5f}, {3, 3, 3}}, true, "straddling three planes"},
        {{{1.01f, 0, 0}, {2, 0.5f, 0.5f}}, false, "beyond x = 1"},
        {{{-2, 0, 0}, {-1.01f, 0.5f, 0.5f}}, false, "before x = -1"},
        {{{0, 1.5f, 0}, {0.5f, 2, 0.5f}}, false, "above"},
        {{{0, 0, -9}, {0.5f, 0.5f, -1.5f}}, false, "behind"},
        {{{1.00001f, 0, 0}, {2, 0.5f, 0.5f}}, true, "within the rounding margin beyond x = 1"},
        {{{0, 0, -2}, {0.5f, 0.5f, -1.00001f}}, true, "within the rounding margin before z = -1"},
        {{{1, 0, 0}, {2, 0.5f, 0.5f}}, true, "touching x = 1"},
        {{{1, 1, 1}, {0, 0, 0}}, false, "empty (low above high)"},
        {{{0, 1, 0}, {0, 0, 0}}, false, "empty in y only"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(boxMayBeInView(volume, c.box), c.mayShow) << c.what;
    }
}

// A perspective volume seen from the origin along -z, near 1 and far 100: far boxes are beyond.
TEST(ViewVolume, PerspectiveVolumeEndsAtItsFarPlane) {
    const double n = 1, f = 100;
    const double frustum[16] = {
        1, 0, 0, 0, 0, 1, 0, 0, 0, 0, (f + n) / (n - f), -1, 0, 0, 2 * f * n / (n - f), 0};
    const ViewVolume volume = viewVolumeOf(frustum);
    EXPECT_TRUE(boxMayBeInView(volume, {{-1, -1, -99}, {1, 1, -98}}));
    EXPECT_FALSE(boxMayBeInView(volume, {{-1, -1, -150}, {1, 1, -101}}));
    EXPECT_FALSE(boxMayBeInView(volume, {{-1, -1, -0.5f}, {1, 1, -0.1f}}));
    EXPECT_FALSE(boxMayBeInView(volume, {{50, -1, -20}, {60, 1, -10}}));
}
