// Tests of the free camera's state changes: mouse turns with their single wrap step, button
// presses, and the six key moves.
#include <gtest/gtest.h>

#include <GL/glut.h>

#include "path/camera.h"

namespace {

// A state whose last mouse position is (x, y), other fields as given.
CameraState stateAt(int x, int y, float yaw, float pitch) {
    CameraState state;
    state.lastMouseX = x;
    state.lastMouseY = y;
    state.yaw = yaw;
    state.pitch = pitch;
    return state;
}

} // namespace

TEST(FreeCameraTurn, OnePixelIsOneDegreeMeasuredFromTheLastPosition) {
    CameraState state = stateAt(100, 100, 0.0f, 0.0f);
    turnFreeCamera(state, 90, 70);
    EXPECT_EQ(state.yaw, 10.0f);
    EXPECT_EQ(state.pitch, 30.0f);
    EXPECT_EQ(state.lastMouseX, 90);
    EXPECT_EQ(state.lastMouseY, 70);

    // The next drag measures from (90, 70), not from the first press.
    turnFreeCamera(state, 85, 75);
    EXPECT_EQ(state.yaw, 15.0f);
    EXPECT_EQ(state.pitch, 25.0f);
}

TEST(FreeCameraTurn, WrapsOnceInBothDirections) {
    CameraState up = stateAt(0, 0, 350.0f, 355.0f);
    turnFreeCamera(up, -20, -5);
    EXPECT_EQ(up.yaw, 10.0f);
    EXPECT_EQ(up.pitch, 0.0f); // exactly 360 wraps to 0

    CameraState down = stateAt(0, 0, 5.0f, 0.0f);
    turnFreeCamera(down, 10, 1);
    EXPECT_EQ(down.yaw, 355.0f);
    EXPECT_EQ(down.pitch, 359.0f);
}

TEST(FreeCameraTurn, DragPastOneTurnStaysOutsideUntilLaterDrags) {
    CameraState state = stateAt(500, 500, 350.0f, 10.0f);
    turnFreeCamera(state, 100, 900);
    EXPECT_EQ(state.yaw, 390.0f);   // 750 less one turn
    EXPECT_EQ(state.pitch, -30.0f); // -390 plus one turn

    // Drags without movement wrap one more step each.
    turnFreeCamera(state, 100, 900);
    EXPECT_EQ(state.yaw, 30.0f);
    EXPECT_EQ(state.pitch, 330.0f);
}

TEST(FreeCameraTurn, ExtremeCoordinatesDoNotOverflow) {
    CameraState state = stateAt(-2147483647 - 1, 0, 0.0f, 0.0f);
    turnFreeCamera(state, 2147483647, 0);
    EXPECT_NEAR(state.yaw, -4294967295.0f + 360.0f, 1000.0f);
}

TEST(FreeCameraMouse, OnlyPressesOfTheThreeButtonsRecordThePosition) {
    camera = CameraState{};
    onMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 11, 12);
    EXPECT_EQ(camera.lastMouseX, 11);
    EXPECT_EQ(camera.lastMouseY, 12);

    onMouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 50, 60); // release
    onMouseButton(3, GLUT_DOWN, 70, 80);              // wheel
    EXPECT_EQ(camera.lastMouseX, 11);
    EXPECT_EQ(camera.lastMouseY, 12);

    onMouseButton(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 21, 22);
    EXPECT_EQ(camera.lastMouseX, 21);
    onMouseButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, 31, 32);
    EXPECT_EQ(camera.lastMouseX, 31);
    EXPECT_EQ(camera.lastMouseY, 32);
    EXPECT_EQ(camera.yaw, 0.0f);
    EXPECT_EQ(camera.pitch, 0.0f);
}

TEST(FreeCameraMove, SixMovesAtYawZero) {
    struct Case {
        CameraMove move;
        Vec3 expected;
    };
    const Case cases[] = {
        {MOVE_FORWARD, {1.0f, 2.0f, 2.9f}}, {MOVE_BACK, {1.0f, 2.0f, 3.1f}},
        {MOVE_LEFT, {0.9f, 2.0f, 3.0f}},    {MOVE_RIGHT, {1.1f, 2.0f, 3.0f}},
        {MOVE_UP, {1.0f, 2.1f, 3.0f}},      {MOVE_DOWN, {1.0f, 1.9f, 3.0f}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.move);
        CameraState state;
        state.eye = {1.0f, 2.0f, 3.0f};
        state.pitch = 45.0f; // tilt takes no part in the moves
        stepFreeCamera(state, c.move);
        EXPECT_FLOAT_EQ(state.eye.x, c.expected.x);
        EXPECT_FLOAT_EQ(state.eye.y, c.expected.y);
        EXPECT_FLOAT_EQ(state.eye.z, c.expected.z);
    }
}

TEST(FreeCameraMove, MovesFollowTheYaw) {
    // At yaw 90 the camera looks along -x and its left is +z.
    struct Case {
        float yaw;
        CameraMove move;
        Vec3 expected;
    };
    const float c30 = 0.0866025404f; // 0.1 cos 30
    const Case cases[] = {
        {90.0f, MOVE_FORWARD, {-0.1f, 0.0f, 0.0f}},  {90.0f, MOVE_BACK, {0.1f, 0.0f, 0.0f}},
        {90.0f, MOVE_LEFT, {0.0f, 0.0f, 0.1f}},      {90.0f, MOVE_RIGHT, {0.0f, 0.0f, -0.1f}},
        {90.0f, MOVE_UP, {0.0f, 0.1f, 0.0f}},        {90.0f, MOVE_DOWN, {0.0f, -0.1f, 0.0f}},
        {30.0f, MOVE_FORWARD, {-0.05f, 0.0f, -c30}}, {30.0f, MOVE_LEFT, {-c30, 0.0f, 0.05f}},
        {30.0f, MOVE_RIGHT, {c30, 0.0f, -0.05f}},    {30.0f, MOVE_BACK, {0.05f, 0.0f, c30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "yaw " << c.yaw << " move " << c.move);
        CameraState state;
        state.yaw = c.yaw;
        stepFreeCamera(state, c.move);
        EXPECT_NEAR(state.eye.x, c.expected.x, 1e-7f);
        EXPECT_NEAR(state.eye.y, c.expected.y, 1e-7f);
        EXPECT_NEAR(state.eye.z, c.expected.z, 1e-7f);
    }
}
