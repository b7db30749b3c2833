// Particle pool: what the first update draws and where it sends the particles, the state the
// update leaves, a camera with no defined facing, and the sprite loading.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>

#include "render/particles.h"
#include "render_support.h"

namespace {

class Particles : public testing::Test {
  protected:
    void SetUp() override {
        resetRenderState();
        ensureImageLibrary();
        system = std::make_unique<ParticleSystem>();
        // Orthographic view of x, y in [-1, 1]: window x = (x + 1) * 320, y = (y + 1) * 240.
        glMatrixMode(GL_PROJECTION);
        glOrtho(-1, 1, -1, 1, -10, 10);
        glMatrixMode(GL_MODELVIEW);
    }
    void TearDown() override {
        resetRenderState();
    }
    // The pool as the show fills it, at the origin, the sprite taken from `dir`.
    void initFrom(const char* dir) {
        inDirectory(dir, [this] { initParticles(*system, 0, 0, 0, 0, 200.0f, 0, 1.0f); });
    }
    std::unique_ptr<ParticleSystem> system;
};

TEST_F(Particles, FirstUpdateDrawsAllAtTheStartThenMovesThemToTheEmitter) {
    initFrom("render/pictures");
    const auto polygons =
        capturePolygons([this] { updateParticles(*system, 3, 4, 5, 0, 0, 0, 0, 0, 5); });
    // Each particle is one strip of two triangles facing the camera on +z.
    ASSERT_EQ(polygons.size(), size_t(2 * MAX_PARTICLES));
    for (const auto& polygon : polygons) {
        ASSERT_EQ(polygon.size(), 3u);
        for (const FeedbackVertex& v : polygon) {
            EXPECT_NEAR(std::fabs(v.x - 320.0f), 32.0f, 0.01f); // half side 0.1
            EXPECT_NEAR(std::fabs(v.y - 240.0f), 24.0f, 0.01f);
            EXPECT_NEAR(v.r, 0.9f, 0.01f);
            EXPECT_NEAR(v.a, 0.1f, 0.01f); // life as alpha
        }
    }
    for (const Particle& p : system->particles) {
        EXPECT_EQ(p.position[0], 3.0f);
        EXPECT_EQ(p.position[1], 4.0f);
        EXPECT_EQ(p.position[2], 5.0f);
        EXPECT_EQ(p.life, 1.0f);
        EXPECT_FLOAT_EQ(p.size, 0.1f);
    }
}

TEST_F(Particles, InactiveParticlesAreNeitherDrawnNorMoved) {
    initFrom("render/pictures");
    system->particles[7].active = 0;
    const auto polygons =
        capturePolygons([this] { updateParticles(*system, 3, 4, 5, 0, 0, 0, 0, 0, 5); });
    EXPECT_EQ(polygons.size(), size_t(2 * (MAX_PARTICLES - 1)));
    EXPECT_EQ(system->particles[7].position[0], 0.0f);
    EXPECT_FLOAT_EQ(system->particles[7].life, 0.1f);
}

TEST_F(Particles, LeavesLightingAsFoundTexturingOffDepthWritesOnAndWhite) {
    initFrom("render/pictures");
    for (bool lit : {true, false}) {
        if (lit) {
            glEnable(GL_LIGHTING);
        } else {
            glDisable(GL_LIGHTING);
        }
        glDepthMask(GL_FALSE);
        glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
        updateParticles(*system, 3, 4, 5, 0, 0, 0, 0, 0, 5);
        EXPECT_EQ(glIsEnabled(GL_LIGHTING), lit ? GL_TRUE : GL_FALSE);
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        GLboolean mask = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &mask);
        EXPECT_EQ(mask, GL_TRUE);
        GLfloat colour[4];
        glGetFloatv(GL_CURRENT_COLOR, colour);
        EXPECT_EQ(colour[0], 1.0f);
        EXPECT_EQ(colour[2], 1.0f);
        EXPECT_EQ(colour[3], 1.0f) << "lit " << lit;
    }
}

// Particles do not write depth: a later surface behind them is still drawn.
TEST_F(Particles, DrawnWithoutDepthWrites) {
    initFrom("render/pictures");
    updateParticles(*system, 3, 4, 5, 0, 0, 0, 0, 0, 5);
    GLfloat depth = 0;
    glReadPixels(320, 240, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f);
}

// Camera straight above, straight below, or at the particles: no facing, nothing drawn, no
// NaN sent to GL, and every particle still advances.
TEST_F(Particles, CameraWithoutFacingSkipsDrawingButStillUpdates) {
    initFrom("render/pictures");
    const float cameras[][3] = {{0, 7, 0}, {0, -7, 0}, {0, 0, 0}};
    for (const auto& c : cameras) {
        for (Particle& p : system->particles) {
            p.life = 0.5f;
            p.fade = 0.1f;
            p.position[0] = p.position[1] = p.position[2] = 0;
        }
        const auto polygons =
            capturePolygons([&] { updateParticles(*system, 3, 4, 5, 0, 0, 0, c[0], c[1], c[2]); });
        EXPECT_TRUE(polygons.empty());
        for (const Particle& p : system->particles) {
            EXPECT_FLOAT_EQ(p.life, 0.3f);
        }
    }
    // Only the particle under the camera is skipped.
    for (Particle& p : system->particles) {
        p.position[0] = p.position[1] = p.position[2] = 0;
    }
    system->particles[0].position[0] = 0.5f;
    const auto polygons =
        capturePolygons([&] { updateParticles(*system, 3, 4, 5, 0, 0, 0, 0.5f, 9, 0); });
    EXPECT_EQ(polygons.size(), size_t(2 * (MAX_PARTICLES - 1)));
    for (const auto& polygon : polygons) {
        for (const FeedbackVertex& v : polygon) {
            EXPECT_TRUE(std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z));
        }
    }
}

TEST_F(Particles, SpriteLoadsAndAMissingSpriteIsReportedWithTextureZero) {
    initFrom("render/pictures");
    EXPECT_NE(system->particleTexture, 0u);
    EXPECT_EQ(system->slowdown, 1.0f);
    auto missing = std::make_unique<ParticleSystem>();
    testing::internal::CaptureStdout();
    inDirectory("render/partial", [&] { loadParticleTexture(*missing); });
    fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "textures/particule.tga : probl\xe8"
              "me lors du chargement de la texture --> texture d\xe9"
              "sactiv\xe9"
              "e !\n");
    EXPECT_EQ(missing->particleTexture, 0u);
}

} // namespace
