// Particle arithmetic: the seeding draws, one update step with rebirth, and the billboard axes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "render/particle_motion.h"

// Four successive draws from the generator started at `seed`, which is then restarted.
static void drawsAfter(unsigned int seed, int d[4]) {
    srand(seed);
    for (int i = 0; i < 4; i++) {
        d[i] = rand();
    }
    srand(seed);
}

TEST(ParticleMotion, SeedDrawsFadeThenXYZAndDiesInItsFirstUpdate) {
    int d[4];
    drawsAfter(7, d);
    ASSERT_TRUE(d[1] % 60 != d[2] % 60 && d[2] % 60 != d[3] % 60); // axes told apart
    Particle p{};
    seedParticle(p, 1, 2, 3, 5, 200, -7);
    EXPECT_EQ(p.fade, float((d[0] % 100) / 1000.0 + 0.803));
    EXPECT_EQ(p.velocity[0], float((d[1] % 60) - 32.0 + 5));
    EXPECT_EQ(p.velocity[1], float((d[2] % 60) - 30.0 + 200));
    EXPECT_EQ(p.velocity[2], float((d[3] % 60) - 30.0 - 7));
    EXPECT_TRUE(p.active == 1 && p.life == 0.1f && p.size == 0.1f && p.r == 0.9f);
    EXPECT_TRUE(p.position[0] == 1 && p.position[2] == 3 && p.gravity[1] == 0);
    // Life 0.1 minus at least 2 x 0.803: reborn at the emitter by the first update.
    advanceParticle(p, 1.0f, 4, 5, 6, 0, 0, 0);
    EXPECT_TRUE(p.life == 1.0f && p.position[0] == 4 && p.position[1] == 5 && p.position[2] == 6);
}

TEST(ParticleMotion, MovesWithTheOldVelocityAgesGrowsAndIsRebornOnlyBelowZero) {
    Particle p{};
    p.active = 1;
    p.life = 1.0f;
    p.fade = 0.05f;
    p.size = 0.1f;
    p.r = 0.2f;
    const float velocity[3] = {10, -20, 30}, gravity[3] = {1, 2, 3};
    for (int i = 0; i < 3; i++) {
        p.velocity[i] = velocity[i];
        p.gravity[i] = gravity[i];
    }
    advanceParticle(p, 2.0f, 99, 99, 99, 0, 0, 0);
    EXPECT_FLOAT_EQ(p.position[0], 0.005f);
    EXPECT_FLOAT_EQ(p.position[1], -0.01f);
    EXPECT_EQ(p.velocity[1], -18.0f);
    EXPECT_FLOAT_EQ(p.life, 0.9f);
    EXPECT_FLOAT_EQ(p.size, 0.19f);

    p.life = 0.5f; // exactly 0 afterwards: still alive
    p.fade = 0.25f;
    advanceParticle(p, 1.0f, 99, 99, 99, 0, 0, 0);
    EXPECT_TRUE(p.life == 0.0f && p.position[0] != 99.0f);

    int d[4];
    drawsAfter(11, d);
    advanceParticle(p, 1.0f, 7, 8, 9, 0.5f, -1.5f, 2.0f);
    EXPECT_EQ(p.fade, float((d[0] % 100) / 1000.0 + 0.003));
    EXPECT_EQ(p.velocity[0], float((d[1] % 60) - 30.0 + 0.5));
    EXPECT_EQ(p.velocity[2], float((d[3] % 60) - 30.0 + 2.0));
    EXPECT_TRUE(p.life == 1.0f && p.position[0] == 7 && p.position[1] == 8 && p.position[2] == 9);
    EXPECT_TRUE(p.size == 0.1f && p.r == 0.2f && p.gravity[1] == 2 && p.active == 1);
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
