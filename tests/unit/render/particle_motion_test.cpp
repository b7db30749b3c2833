// Particle arithmetic: rebirth at the life boundary, and the billboard axes seen from any side.
// (Facing along +z and the refused facings are in the GL particle tests.)
#include <gtest/gtest.h>

#include <cmath>

#include "render/particle_motion.h"

TEST(ParticleMotion, RebornAtTheEmitterOnlyBelowZeroLife) {
    Particle p{};
    p.active = 1, p.life = 0.5f, p.fade = 0.25f, p.size = 0.1f, p.r = 0.2f;
    p.velocity[0] = 10;
    advanceParticle(p, 1.0f, 99, 99, 99, 0, 0, 0); // exactly 0 afterwards: still alive, moved
    EXPECT_TRUE(p.life == 0.0f && p.position[0] > 0 && p.position[0] != 99.0f);
    advanceParticle(p, 1.0f, 7, 8, 9, 0.5f, -100, 200); // random velocity about the drift
    EXPECT_TRUE(p.life == 1.0f && p.position[0] == 7 && p.position[1] == 8 && p.position[2] == 9);
    EXPECT_TRUE(std::abs(p.velocity[1] + 100) <= 32 && std::abs(p.velocity[2] - 200) <= 32);
    EXPECT_TRUE(p.size == 0.1f && p.r == 0.2f && p.active == 1);
}

// Right x up points at the camera, both axes of unit length.
TEST(ParticleMotion, SquareFacesTheCameraFromAnySide) {
    const float p[3] = {1, 2, 3};
    const float cameras[][3] = {{6, 2, 3}, {-4, 9, -1}, {3, -5, 7}, {1.001f, 40, 3}};
    for (const auto& c : cameras) {
        float r[3], u[3];
        ASSERT_TRUE(particleAxes(p, c[0], c[1], c[2], r, u)) << c[1];
        const float d[3] = {c[0] - p[0], c[1] - p[1], c[2] - p[2]};
        const float len = std::sqrt(d[0] * d[0] + d[1] * d[1] + d[2] * d[2]);
        const float n[3] = {r[1] * u[2] - r[2] * u[1], r[2] * u[0] - r[0] * u[2],
                            r[0] * u[1] - r[1] * u[0]};
        EXPECT_NEAR(r[0] * r[0] + r[1] * r[1] + r[2] * r[2], 1.0f, 1e-5f) << c[1];
        EXPECT_NEAR(u[0] * u[0] + u[1] * u[1] + u[2] * u[2], 1.0f, 1e-5f) << c[1];
        for (int i = 0; i < 3; i++) {
            EXPECT_NEAR(n[i], d[i] / len, 1e-4f) << c[1];
        }
    }
}
