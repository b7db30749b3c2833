// Sky box: each picture on its side and the right way round, unlit, depth test on afterwards,
// and the loading of the six pictures with a missing one.
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <cstdio>

#include "render/skybox.h"
#include "render_support.h"

namespace {

// Looks from the box centre (0, 10, 0) along `forward` with a 90 degree vertical field.
void lookFromCentre(float fx, float fy, float fz, float ux, float uy, float uz) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 640.0 / 480.0, 1.0, 1000.0);
    gluLookAt(0, 10, 0, fx, 10 + fy, fz, ux, uy, uz);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

struct View {
    float forward[3];
    float up[3];
    int slot;     // texture expected straight ahead
    bool rotated; // picture turned half a turn on screen
};

// Screen-right is forward x up; the bottom side is the one seen turned half a turn.
const View VIEWS[6] = {
    {{0, 0, -1}, {0, 1, 0}, 0, false}, {{0, 0, 1}, {0, 1, 0}, 1, false},
    {{0, -1, 0}, {0, 0, -1}, 2, true}, {{0, 1, 0}, {0, 0, -1}, 3, false},
    {{-1, 0, 0}, {0, 1, 0}, 5, false}, {{1, 0, 0}, {0, 1, 0}, 4, false},
};

// Texel colour of quadrant q (s >= 0.5 adds 1, t >= 0.5 adds 2) of the picture in `slot`.
Rgba quadrantColour(int slot, int q) {
    return {40 * slot + 20, 60 * q + 30, 128, 255};
}

class SkyBox : public testing::Test {
  protected:
    void SetUp() override {
        resetRenderState();
        for (int i = 0; i < 6; i++) {
            saved[i] = skyTextures[i];
            const Rgba texels[4] = {quadrantColour(i, 0), quadrantColour(i, 1),
                                    quadrantColour(i, 2), quadrantColour(i, 3)};
            skyTextures[i] = makeTexture(texels);
        }
    }
    void TearDown() override {
        for (int i = 0; i < 6; i++) {
            glDeleteTextures(1, &skyTextures[i]);
            skyTextures[i] = saved[i];
        }
        resetRenderState();
    }
    void drawBox() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_TEXTURE_2D);
        drawSkyBox(0, 10, 0, 300, 300, 300);
        glDisable(GL_TEXTURE_2D);
    }
    unsigned int saved[6];
};

TEST_F(SkyBox, EachPictureOnItsSideTheRightWayRound) {
    for (const View& v : VIEWS) {
        lookFromCentre(v.forward[0], v.forward[1], v.forward[2], v.up[0], v.up[1], v.up[2]);
        drawBox();
        // Window quadrants: top-left, top-right, bottom-left, bottom-right.
        const int px[4] = {220, 420, 220, 420};
        const int py[4] = {340, 340, 140, 140};
        const int upright[4] = {2, 3, 0, 1};
        const int turned[4] = {1, 0, 3, 2};
        for (int k = 0; k < 4; k++) {
            const int q = v.rotated ? turned[k] : upright[k];
            const Rgba want = quadrantColour(v.slot, q);
            const Rgba got = pixelAt(px[k], py[k]);
            EXPECT_TRUE(near(got, want.r, want.g, want.b))
                << "slot " << v.slot << " screen quadrant " << k << ": got " << got.r << ","
                << got.g << "," << got.b;
        }
    }
}

// Lit drawing with no light on would come out black; the box is drawn unlit either way.
TEST_F(SkyBox, DrawnUnlitAndLightingRestored) {
    lookFromCentre(0, 0, -1, 0, 1, 0);
    glEnable(GL_LIGHTING);
    drawBox();
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    const Rgba want = quadrantColour(0, 2);
    EXPECT_TRUE(near(pixelAt(220, 340), want.r, want.g, want.b));
    glDisable(GL_LIGHTING);
    drawBox();
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
}

TEST_F(SkyBox, DepthTestOnAfterwardsAndBoxIgnoresDepth) {
    lookFromCentre(0, 0, -1, 0, 1, 0);
    glDisable(GL_DEPTH_TEST);
    drawBox();
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    // A depth buffer holding only near values must not hide the box.
    glClearDepth(0.0);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    glEnable(GL_TEXTURE_2D);
    drawSkyBox(0, 10, 0, 300, 300, 300);
    glDisable(GL_TEXTURE_2D);
    const Rgba want = quadrantColour(0, 2);
    EXPECT_TRUE(near(pixelAt(220, 340), want.r, want.g, want.b));
}

// Files of the test data: back red, front green, bottom blue, top yellow, left magenta, right
// cyan. The loader must put each in its slot with linear filters and clamped wrapping.
TEST_F(SkyBox, LoadsSixPicturesIntoTheirSlots) {
    ensureImageLibrary();
    inDirectory("render/pictures", [] { loadSkyBox(); });
    const int colours[6][3] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},
                               {255, 255, 0}, {255, 0, 255}, {0, 255, 255}};
    for (int slot = 0; slot < 6; slot++) {
        ASSERT_NE(skyTextures[slot], 0u) << slot;
        glBindTexture(GL_TEXTURE_2D, skyTextures[slot]);
        GLint value = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
        EXPECT_EQ(value, GL_LINEAR);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
        EXPECT_EQ(value, GL_LINEAR);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
        EXPECT_EQ(value, GL_CLAMP_TO_EDGE);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &value);
        EXPECT_EQ(value, GL_CLAMP_TO_EDGE);
    }
    for (const View& v : VIEWS) {
        lookFromCentre(v.forward[0], v.forward[1], v.forward[2], v.up[0], v.up[1], v.up[2]);
        drawBox();
        const int* c = colours[v.slot];
        const Rgba got = pixelAt(320, 240);
        EXPECT_TRUE(near(got, c[0], c[1], c[2], 12))
            << "slot " << v.slot << ": got " << got.r << "," << got.g << "," << got.b;
    }
}

TEST_F(SkyBox, MissingPictureIsReportedAndLeavesItsSideWithoutTexture) {
    ensureImageLibrary();
    // Load a full set first: a side must never receive whatever picture happens to be bound.
    inDirectory("render/pictures", [] { loadSkyBox(); });
    glBindTexture(GL_TEXTURE_2D, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    testing::internal::CaptureStdout();
    inDirectory("render/partial", [] { loadSkyBox(); });
    fflush(stdout);
    const std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "textures/top.jpg : probl\xe8"
                   "me lors du chargement de la texture --> texture d\xe9"
                   "sactiv\xe9"
                   "e !\n");
    EXPECT_EQ(skyTextures[3], 0u);
    for (int slot : {0, 1, 2, 4, 5}) {
        EXPECT_NE(skyTextures[slot], 0u) << slot;
    }
    // The missing side's texture 0 gets none of the sides' wrapping.
    glBindTexture(GL_TEXTURE_2D, 0);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &value);
    EXPECT_EQ(value, GL_REPEAT);
}

} // namespace
