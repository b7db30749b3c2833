// Particle pool: what the first update draws and where it sends the particles, the state the
// update leaves.
#include <cmath>
#include <memory>

#include "render/particles.h"
#include "render_support.h"

namespace {

// A pool as the show fills it, at the origin, under an orthographic view of x, y in [-1, 1].
std::unique_ptr<ParticleSystem> startPool() {
    resetRenderState();
    glMatrixMode(GL_PROJECTION);
    glOrtho(-1, 1, -1, 1, -10, 10);
    glMatrixMode(GL_MODELVIEW);
    auto pool = std::make_unique<ParticleSystem>();
    inDirectory("render/pictures", [&] { initParticles(*pool, 0, 0, 0, 0, 200.0f, 0, 1.0f); });
    return pool;
}

} // namespace

// Each active particle: two triangles of half side 0.1 facing the camera on +z, its colour with
// its life as alpha; then reborn at the emitter. Drawn without depth writes; texturing off, depth
// writes on, white and the lighting as found afterwards.
TEST(Particles, FirstUpdateDrawsEachActiveParticleAtTheStartThenRebornsIt) {
    auto pool = startPool();
    EXPECT_NE(pool->particleTexture, 0u);
    pool->particles[7].active = 0;
    glDepthMask(GL_FALSE);
    glColor4f(0.2f, 0.3f, 0.4f, 0.5f);
    const auto polygons =
        capturePolygons([&] { updateParticles(*pool, 3, 4, 5, 0, 0, 0, 0, 0, 5); });
    ASSERT_EQ(polygons.size(), size_t(2 * (MAX_PARTICLES - 1)));
    for (const auto& polygon : polygons) {
        ASSERT_EQ(polygon.size(), 3u);
        for (const FeedbackVertex& v : polygon) {
            ASSERT_TRUE(std::fabs(std::fabs(v.x - 320.0f) - 32.0f) < 0.01f &&
                        std::fabs(std::fabs(v.y - 240.0f) - 24.0f) < 0.01f &&
                        std::fabs(v.r - 0.9f) < 0.01f && std::fabs(v.a - 0.1f) < 0.01f);
        }
    }
    for (int i = 0; i < MAX_PARTICLES; i++) {
        const Particle& p = pool->particles[i];
        const bool moved = p.position[0] == 3 && p.position[1] == 4 && p.position[2] == 5;
        EXPECT_EQ(moved && p.life == 1.0f, i != 7) << i;
    }
    for (bool lit : {false, true}) {
        (lit ? glEnable : glDisable)(GL_LIGHTING);
        updateParticles(*pool, 3, 4, 5, 0, 0, 0, 0, 0, 5);
        GLfloat depth = 0;
        glReadPixels(320, 240, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
        EXPECT_EQ(depth, 1.0f);
        EXPECT_EQ(glFlags(), (std::vector<int>{1, 0, 0, lit, 1}));
        EXPECT_EQ(glFloats(GL_CURRENT_COLOR), std::vector<float>(4, 1.0f));
    }
}
