// The free camera: mouse turns with their single wrap step, and key moves.
#include <gtest/gtest.h>

#include "path/camera.h"

TEST(FreeCamera, DegreePerPixelWithOneWrapStep) {
    // {yaw, pitch, last x, last y, x, y, expected yaw, expected pitch}
    const float cases[][8] = {
        {0, 0, 100, 100, 90, 70, 10, 30},        // measured from the last position
        {350, 355, 0, 0, -20, -5, 10, 0},        // wraps down; exactly 360 becomes 0
        {5, 0, 0, 0, 10, 1, 355, 359},           // wraps up
        {350, 10, 500, 500, 100, 900, 390, -30}, // past one turn: one step only
    };
    for (const auto& c : cases) {
        CameraState state;
        state.yaw = c[0], state.pitch = c[1];
        state.lastMouseX = int(c[2]), state.lastMouseY = int(c[3]);
        turnFreeCamera(state, int(c[4]), int(c[5]));
        EXPECT_TRUE(state.yaw == c[6] && state.pitch == c[7] && state.lastMouseX == int(c[4]) &&
                    state.lastMouseY == int(c[5]))
            << c[0] << " " << c[1];
    }
    CameraState extreme; // the difference of extreme window coordinates does not overflow
    extreme.lastMouseX = -2147483647 - 1;
    turnFreeCamera(extreme, 2147483647, 0);
    EXPECT_NEAR(extreme.yaw, -4294967295.0f + 360.0f, 1000.0f);
}

TEST(FreeCamera, MovesFollowTheYawNotThePitch) {
    const float c = 0.0866025404f; // 0.1 cos 30
    const struct {
        CameraMove move;
        Vec3 delta; // at yaw 30
    } cases[] = {{MOVE_FORWARD, {-0.05f, 0, -c}}, {MOVE_BACK, {0.05f, 0, c}},
                 {MOVE_LEFT, {-c, 0, 0.05f}},     {MOVE_RIGHT, {c, 0, -0.05f}},
                 {MOVE_UP, {0, 0.1f, 0}},         {MOVE_DOWN, {0, -0.1f, 0}}};
    for (const auto& m : cases) {
        CameraState state;
        state.eye = {1, 2, 3};
        state.yaw = 30, state.pitch = 45;
        stepFreeCamera(state, m.move);
        EXPECT_NEAR(state.eye.x, 1 + m.delta.x, 1e-6f) << m.move;
        EXPECT_NEAR(state.eye.y, 2 + m.delta.y, 1e-6f) << m.move;
        EXPECT_NEAR(state.eye.z, 3 + m.delta.z, 1e-6f) << m.move;
    }
}
