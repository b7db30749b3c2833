// Sky box: each picture on its side the right way round, unlit, over any depth, the depth test on
// afterwards; loading the six pictures, a missing one left without.
#include <GL/glu.h>

#include "render/skybox.h"
#include "render_support.h"

namespace {

// Looking from the box centre (0, 10, 0): forward, up, the slot seen, turned half a turn.
const struct {
    float f[3], u[3];
    int slot;
    bool turned;
} VIEWS[6] = {
    {{0, 0, -1}, {0, 1, 0}, 0, false}, {{0, 0, 1}, {0, 1, 0}, 1, false},
    {{0, -1, 0}, {0, 0, -1}, 2, true}, {{0, 1, 0}, {0, 0, -1}, 3, false},
    {{-1, 0, 0}, {0, 1, 0}, 5, false}, {{1, 0, 0}, {0, 1, 0}, 4, false},
};

// Texel colour of quadrant q (s >= 0.5 adds 1, t >= 0.5 adds 2) of the test picture in `slot`.
Rgba quadrant(int slot, int q) {
    return {40 * slot + 20, 60 * q + 30, 128, 255};
}

void drawView(int v) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(90.0, 640.0 / 480.0, 1.0, 1000.0);
    const auto& w = VIEWS[v];
    gluLookAt(0, 10, 0, w.f[0], 10 + w.f[1], w.f[2], w.u[0], w.u[1], w.u[2]);
    glMatrixMode(GL_MODELVIEW);
    glClear(GL_COLOR_BUFFER_BIT);
    glEnable(GL_TEXTURE_2D);
    drawSkyBox(0, 10, 0, 300, 300, 300);
    glDisable(GL_TEXTURE_2D);
}

} // namespace

TEST(SkyBox, EachPictureOnItsSideUnlitAndOverAnyDepth) {
    resetRenderState();
    for (int i = 0; i < 6; i++) {
        skyTextures[i] =
            makeTexture({quadrant(i, 0), quadrant(i, 1), quadrant(i, 2), quadrant(i, 3)});
    }
    glEnable(GL_LIGHTING); // lit with no light would come out black
    for (int v = 0; v < 6; v++) {
        glClearDepth(0.0); // near values everywhere must not hide the box
        glClear(GL_DEPTH_BUFFER_BIT);
        glClearDepth(1.0);
        drawView(v);
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING) && glIsEnabled(GL_DEPTH_TEST));
        // Window quadrants top-left, top-right, bottom-left, bottom-right.
        const int px[4] = {220, 420, 220, 420}, py[4] = {340, 340, 140, 140};
        const int upright[4] = {2, 3, 0, 1}, turned[4] = {1, 0, 3, 2};
        for (int k = 0; k < 4; k++) {
            const Rgba want = quadrant(VIEWS[v].slot, VIEWS[v].turned ? turned[k] : upright[k]);
            EXPECT_TRUE(pixelNear(px[k], py[k], want.r, want.g, want.b))
                << "slot " << VIEWS[v].slot << " quadrant " << k;
        }
    }
    glDisable(GL_LIGHTING);
    glDeleteTextures(6, skyTextures);
}

// Test pictures: back red, front green, bottom blue, top yellow, left magenta, right cyan;
// linear and clamped. A missing side must not receive the bound texture's parameters.
TEST(SkyBox, LoadsSixPicturesAndLeavesAMissingSideWithout) {
    resetRenderState();
    inDirectory("render/pictures", [] { loadSkyBox(); });
    const int colours[6][3] = {{255, 0, 0},   {0, 255, 0},   {0, 0, 255},
                               {255, 255, 0}, {255, 0, 255}, {0, 255, 255}};
    for (int slot = 0; slot < 6; slot++) {
        ASSERT_NE(skyTextures[slot], 0u) << slot;
        glBindTexture(GL_TEXTURE_2D, skyTextures[slot]);
        for (GLenum name : {GL_TEXTURE_MIN_FILTER, GL_TEXTURE_MAG_FILTER, GL_TEXTURE_WRAP_S}) {
            GLint value = 0;
            glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
            EXPECT_EQ(value, name == GL_TEXTURE_WRAP_S ? GL_CLAMP_TO_EDGE : GL_LINEAR) << slot;
        }
    }
    for (int v = 0; v < 6; v++) {
        drawView(v);
        const int* c = colours[VIEWS[v].slot];
        EXPECT_TRUE(pixelNear(320, 240, c[0], c[1], c[2], 12)) << VIEWS[v].slot;
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    EXPECT_EQ(printedBy([] { inDirectory("render/partial", [] { loadSkyBox(); }); }),
              textureFailure("textures/top.jpg"));
    for (int slot = 0; slot < 6; slot++) {
        EXPECT_EQ(skyTextures[slot] == 0, slot == 3) << slot;
    }
    GLint wrap = 0;
    glBindTexture(GL_TEXTURE_2D, 0);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrap);
    EXPECT_EQ(wrap, GL_REPEAT);
}
