// Particle arithmetic: rebirth at the life boundary, and the billboard axes.
#include <gtest/gtest.h>

#include <cmath>

#include "render/particle_motion.h"

TEST(ParticleMotion, RebornAtTheEmitterOnlyBelowZeroLife) {
    Particle p{};
    p.active = 1;
    p.life = 0.5f; // exactly 0 afterwards: still alive, moved
    p.fade = 0.25f;
    p.size = 0.1f;
    p.r = 0.2f;
    p.velocity[0] = 10;
    advanceParticle(p, 1.0f, 99, 99, 99, 0, 0, 0);
    EXPECT_TRUE(p.life == 0.0f && p.position[0] > 0 && p.position[0] != 99.0f);
    // Below zero: reborn at the emitter, its random velocity about the drift.
    advanceParticle(p, 1.0f, 7, 8, 9, 0.5f, -100, 200);
    EXPECT_TRUE(p.life == 1.0f && p.position[0] == 7 && p.position[1] == 8 && p.position[2] == 9);
    EXPECT_TRUE(std::abs(p.velocity[1] + 100) <= 32 && std::abs(p.velocity[2] - 200) <= 32);
    EXPECT_TRUE(p.size == 0.1f && p.r == 0.2f && p.active == 1);
}

// Right x up must point at the camera with both axes of unit length; no facing is refused.
TEST(ParticleMotion, SquareFacesTheCameraOrIsRefused) {
    const float p[3] = {1, 2, 3};
    const float cameras[][3] = {{1, 2, 8},       {6, 2, 3},  {-4, 9, -1}, {3, -5, 7},
                                {1.001f, 40, 3}, {1, 10, 3}, {1, -10, 3}, {1, 2, 3}};
    for (int k = 0; k < 8; k++) {
        const float* c = cameras[k];
        float r[3] = {7, 7, 7}, u[3] = {7, 7, 7};
        const bool facing = particleAxes(p, c[0], c[1], c[2], r, u);
        ASSERT_EQ(facing, k < 5) << k;
        if (!facing) {
            EXPECT_TRUE(r[0] == 7 && u[1] == 7) << k;
            continue;
        }
        const float d[3] = {c[0] - p[0], c[1] - p[1], c[2] - p[2]};
        const float len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        const float n[3] = {r[1] * u[2] - r[2] * u[1], r[2] * u[0] - r[0] * u[2],
                            r[0] * u[1] - r[1] * u[0]};
        EXPECT_NEAR(r[0] * r[0] + r[1] * r[1] + r[2] * r[2], 1.0f, 1e-5f) << k;
        EXPECT_NEAR(u[0] * u[0] + u[1] * u[1] + u[2] * u[2], 1.0f, 1e-5f) << k;
        for (int i = 0; i < 3; i++) {
            EXPECT_NEAR(n[i], d[i] / len, 1e-4f) << k;
        }
    }
}
