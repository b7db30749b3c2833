// GL tests of the cameras: the view lands in the projection matrix, built from the expected
// calls and aimed where the camera looks, while the modelview matrix stays current and untouched.
#include <gtest/gtest.h>

#include <GL/glu.h>
#include <GL/glut.h>

#include <array>
#include <cmath>

#include "path/camera.h"

namespace {

using Matrix = std::array<float, 16>;

Matrix currentMatrix(GLenum which) {
    Matrix m;
    glGetFloatv(which, m.data());
    return m;
}

// Puts a recognisable matrix on the modelview stack and leaves modelview selected.
Matrix markModelview() {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1.0f, -2.0f, 3.0f);
    glRotatef(25.0f, 0.0f, 1.0f, 0.0f);
    return currentMatrix(GL_MODELVIEW_MATRIX);
}

// Checks modelview is selected and unchanged, and returns the projection matrix.
Matrix projectionAfterCall(const Matrix& modelviewBefore) {
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(currentMatrix(GL_MODELVIEW_MATRIX), modelviewBefore);
    return currentMatrix(GL_PROJECTION_MATRIX);
}

// Normalised device x, y of a world point, which must lie in front within the depth range.
std::array<float, 2> onScreen(const Matrix& m, float x, float y, float z) {
    float clip[4];
    for (int row = 0; row < 4; row++) {
        clip[row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
    }
    EXPECT_GT(clip[3], 0.0f);
    EXPECT_LT(std::fabs(clip[2] / clip[3]), 1.0f);
    return {clip[0] / clip[3], clip[1] / clip[3]};
}

// The projection the free camera must build for the current state.
Matrix expectedFreeProjection() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 1.0, 0.1, 4000.0);
    glRotatef(camera.pitch, -1.0f, 0.0f, 0.0f);
    glRotatef(camera.yaw, 0.0f, -1.0f, 0.0f);
    glTranslatef(-camera.eye.x, -camera.eye.y, -camera.eye.z);
    glMatrixMode(GL_MODELVIEW);
    return currentMatrix(GL_PROJECTION_MATRIX);
}

} // namespace

TEST(CameraGl, FreeCameraBuildsTheViewInTheProjection) {
    camera = CameraState{};
    camera.eye = {1.0f, 2.0f, 3.0f};
    camera.yaw = 90.0f;
    const Matrix modelview = markModelview();
    applyFreeCamera();
    Matrix projection = projectionAfterCall(modelview);
    EXPECT_EQ(projection, expectedFreeProjection());
    std::array<float, 2> centre = onScreen(projection, -9.0f, 2.0f, 3.0f); // yaw 90: along -x
    EXPECT_NEAR(centre[0], 0.0f, 1e-4f);
    EXPECT_NEAR(centre[1], 0.0f, 1e-4f);

    camera.yaw = 0.0f;
    camera.pitch = 30.0f; // looks up 30 degrees
    markModelview();
    applyFreeCamera();
    projection = projectionAfterCall(modelview);
    centre = onScreen(projection, 1.0f, 2.0f + 10.0f * std::sin(0.5235988f),
                      3.0f - 10.0f * std::cos(0.5235988f));
    EXPECT_NEAR(centre[0], 0.0f, 1e-4f);
    EXPECT_NEAR(centre[1], 0.0f, 1e-4f);
}

TEST(CameraGl, PathCameraLooksFromPositionAtTarget) {
    camera = CameraState{};
    camera.cameraPath.position = {10.0f, 5.0f, -4.0f};
    camera.cameraPath.target = {-2.0f, 1.0f, 7.0f};
    camera.eye = {100.0f, 100.0f, 100.0f}; // the free camera takes no part
    camera.yaw = 45.0f;
    const Matrix modelview = markModelview();
    applyPathCamera();
    const Matrix projection = projectionAfterCall(modelview);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 1.0, 0.1, 4000.0);
    gluLookAt(10.0, 5.0, -4.0, -2.0, 1.0, 7.0, 0.0, 1.0, 0.0);
    EXPECT_EQ(projection, currentMatrix(GL_PROJECTION_MATRIX));
    glMatrixMode(GL_MODELVIEW);

    const std::array<float, 2> centre = onScreen(projection, -2.0f, 1.0f, 7.0f);
    EXPECT_NEAR(centre[0], 0.0f, 1e-4f);
    EXPECT_NEAR(centre[1], 0.0f, 1e-4f);
    EXPECT_GT(onScreen(projection, -2.0f, 3.0f, 7.0f)[1], 0.0f); // y stays up
}

TEST(CameraGl, DragAndKeyMoveApplyTheFreeCamera) {
    camera = CameraState{};
    const Matrix modelview = markModelview();
    onMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 200, 200);
    onMouseDrag(170, 210);
    EXPECT_EQ(camera.yaw, 30.0f);
    EXPECT_EQ(camera.pitch, 350.0f);
    Matrix projection = projectionAfterCall(modelview);
    EXPECT_EQ(projection, expectedFreeProjection());

    markModelview();
    moveFreeCamera(MOVE_UP);
    EXPECT_FLOAT_EQ(camera.eye.y, 0.1f);
    projection = projectionAfterCall(modelview);
    EXPECT_EQ(projection, expectedFreeProjection());
}
