// Camera input: only presses of the three buttons record where a drag starts.
#include <GL/glut.h>
#include <gtest/gtest.h>

#include "app/camera_input.h"

TEST(CameraInput, OnlyPressesOfTheThreeButtonsRecordThePosition) {
    camera = CameraState{};
    onMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 11, 12);
    onMouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 50, 60); // release
    onMouseButton(3, GLUT_DOWN, 70, 80);              // wheel
    EXPECT_EQ(camera.lastMouseX, 11);
    EXPECT_EQ(camera.lastMouseY, 12);
    onMouseButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, 31, 32);
    EXPECT_EQ(camera.lastMouseX, 31);
    EXPECT_EQ(camera.lastMouseY, 32);
    onMouseButton(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 41, 42);
    EXPECT_EQ(camera.lastMouseX, 41);
    EXPECT_EQ(camera.lastMouseY, 42);
}
