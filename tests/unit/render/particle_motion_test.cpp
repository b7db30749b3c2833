// Particle arithmetic: seeding draws, one update step, rebirth and the billboard axes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "render/particle_motion.h"

namespace {

// Four successive draws from the generator started at `seed`.
struct Draws {
    int d[4];
};

Draws drawsAfter(unsigned int seed) {
    srand(seed);
    Draws draws;
    for (int& d : draws.d) {
        d = rand();
    }
    srand(seed);
    return draws;
}

TEST(SeedParticle, DrawsFadeThenVelocityXYZWithTheOffsetsOfEachAxis) {
    const Draws r = drawsAfter(7);
    // The check can only tell the axes apart if their draws differ.
    ASSERT_NE(r.d[1] % 60, r.d[2] % 60);
    ASSERT_NE(r.d[2] % 60, r.d[3] % 60);
    Particle p{};
    seedParticle(p, 1, 2, 3, 5, 200, -7);
    EXPECT_EQ(p.fade, float((r.d[0] % 100) / 1000.0 + 0.803));
    EXPECT_EQ(p.velocity[0], float((r.d[1] % 60) - 32.0 + 5));
    EXPECT_EQ(p.velocity[1], float((r.d[2] % 60) - 30.0 + 200));
    EXPECT_EQ(p.velocity[2], float((r.d[3] % 60) - 30.0 - 7));
    EXPECT_EQ(p.active, 1);
    EXPECT_FLOAT_EQ(p.life, 0.1f);
    EXPECT_FLOAT_EQ(p.size, 0.1f);
    EXPECT_FLOAT_EQ(p.r, 0.9f);
    EXPECT_FLOAT_EQ(p.g, 0.9f);
    EXPECT_FLOAT_EQ(p.b, 0.9f);
    EXPECT_EQ(p.position[0], 1.0f);
    EXPECT_EQ(p.position[1], 2.0f);
    EXPECT_EQ(p.position[2], 3.0f);
    EXPECT_EQ(p.gravity[0], 0.0f);
    EXPECT_EQ(p.gravity[1], 0.0f);
    EXPECT_EQ(p.gravity[2], 0.0f);
}

// A seeded particle always dies in its first update: life 0.1 minus at least 2 x 0.803.
TEST(SeedParticle, EverySeededParticleIsRebornByItsFirstUpdate) {
    srand(1);
    for (int i = 0; i < MAX_PARTICLES; i++) {
        Particle p{};
        seedParticle(p, 0, 0, 0, 0, 200, 0);
        advanceParticle(p, 1.0f, 4, 5, 6, 0, 0, 0);
        EXPECT_EQ(p.life, 1.0f);
        EXPECT_EQ(p.position[0], 4.0f);
        EXPECT_EQ(p.position[1], 5.0f);
        EXPECT_EQ(p.position[2], 6.0f);
    }
}

Particle livingParticle() {
    Particle p{};
    p.active = 1;
    p.life = 1.0f;
    p.fade = 0.05f;
    p.size = 0.1f;
    p.velocity[0] = 10;
    p.velocity[1] = -20;
    p.velocity[2] = 30;
    p.gravity[0] = 1;
    p.gravity[1] = 2;
    p.gravity[2] = 3;
    return p;
}

// The move uses the velocity from before gravity is added; slowdown divides the step.
TEST(AdvanceParticle, MovesThenAcceleratesAgesAndGrows) {
    Particle p = livingParticle();
    advanceParticle(p, 2.0f, 99, 99, 99, 0, 0, 0);
    EXPECT_FLOAT_EQ(p.position[0], 0.005f);
    EXPECT_FLOAT_EQ(p.position[1], -0.01f);
    EXPECT_FLOAT_EQ(p.position[2], 0.015f);
    EXPECT_EQ(p.velocity[0], 11.0f);
    EXPECT_EQ(p.velocity[1], -18.0f);
    EXPECT_EQ(p.velocity[2], 33.0f);
    EXPECT_FLOAT_EQ(p.life, 0.9f);
    EXPECT_FLOAT_EQ(p.size, 0.19f);
}

// Life exactly 0 is still alive; only below zero is the particle reborn.
TEST(AdvanceParticle, LifeExactlyZeroIsNotReborn) {
    Particle p = livingParticle();
    p.life = 0.5f;
    p.fade = 0.25f;
    advanceParticle(p, 1.0f, 99, 99, 99, 0, 0, 0);
    EXPECT_EQ(p.life, 0.0f);
    EXPECT_NE(p.position[0], 99.0f);
}

TEST(AdvanceParticle, RebirthAtEmitterWithDriftKeepsColourGravityAndActive) {
    Particle p = livingParticle();
    p.life = 0.05f;
    p.r = 0.2f;
    const Draws r = drawsAfter(11);
    advanceParticle(p, 1.0f, 7, 8, 9, 0.5f, -1.5f, 2.0f);
    EXPECT_EQ(p.life, 1.0f);
    EXPECT_EQ(p.fade, float((r.d[0] % 100) / 1000.0 + 0.003));
    EXPECT_EQ(p.position[0], 7.0f);
    EXPECT_EQ(p.position[1], 8.0f);
    EXPECT_EQ(p.position[2], 9.0f);
    EXPECT_EQ(p.velocity[0], float((r.d[1] % 60) - 30.0 + 0.5));
    EXPECT_EQ(p.velocity[1], float((r.d[2] % 60) - 30.0 - 1.5));
    EXPECT_EQ(p.velocity[2], float((r.d[3] % 60) - 30.0 + 2.0));
    EXPECT_FLOAT_EQ(p.size, 0.1f);
    EXPECT_EQ(p.r, 0.2f);
    EXPECT_EQ(p.gravity[1], 2.0f);
    EXPECT_EQ(p.active, 1);
}

// The square must face the camera: both axes unit length and perpendicular to the view
// direction, and right x up pointing at the camera.
TEST(ParticleAxes, SquareFacesTheCameraFromAnyDirection) {
    const float p[3] = {1, 2, 3};
    const float cameras[][3] = {{1, 2, 8}, {6, 2, 3}, {-4, 9, -1}, {3, -5, 7}, {1.001f, 40, 3}};
    for (const auto& c : cameras) {
        float r[3];
        float u[3];
        ASSERT_TRUE(particleAxes(p, c[0], c[1], c[2], r, u));
        float dir[3] = {c[0] - p[0], c[1] - p[1], c[2] - p[2]};
        const float len = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2]);
        for (float& x : dir) {
            x /= len;
        }
        EXPECT_NEAR(r[0] * r[0] + r[1] * r[1] + r[2] * r[2], 1.0f, 1e-5f);
        EXPECT_NEAR(u[0] * u[0] + u[1] * u[1] + u[2] * u[2], 1.0f, 1e-5f);
        EXPECT_NEAR(r[0] * dir[0] + r[1] * dir[1] + r[2] * dir[2], 0.0f, 1e-5f);
        EXPECT_NEAR(u[0] * dir[0] + u[1] * dir[1] + u[2] * dir[2], 0.0f, 1e-5f);
        EXPECT_NEAR(r[1] * u[2] - r[2] * u[1], dir[0], 1e-4f);
        EXPECT_NEAR(r[2] * u[0] - r[0] * u[2], dir[1], 1e-4f);
        EXPECT_NEAR(r[0] * u[1] - r[1] * u[0], dir[2], 1e-4f);
    }
}

TEST(ParticleAxes, UndefinedFacingIsRefusedAndLeavesTheAxes) {
    const float p[3] = {1, 2, 3};
    const float cameras[][3] = {{1, 10, 3}, {1, -10, 3}, {1, 2, 3}};
    for (const auto& c : cameras) {
        float r[3] = {7, 7, 7};
        float u[3] = {7, 7, 7};
        EXPECT_FALSE(particleAxes(p, c[0], c[1], c[2], r, u));
        EXPECT_EQ(r[0], 7.0f);
        EXPECT_EQ(u[1], 7.0f);
    }
}

} // namespace
