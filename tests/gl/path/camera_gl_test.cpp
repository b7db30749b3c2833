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

// Clip coordinates of a world point under the column-major matrix m.
std::array<float, 4> project(const Matrix& m, float x, float y, float z) {
    std::array<float, 4> clip;
    for (int row = 0; row < 4; row++) {
        clip[row] = m[row] * x + m[4 + row] * y + m[8 + row] * z + m[12 + row];
    }
    return clip;
}

// The point lies in front of the camera at the centre of the view.
void expectAtViewCentre(const Matrix& projection, float x, float y, float z) {
    const std::array<float, 4> clip = project(projection, x, y, z);
    ASSERT_GT(clip[3], 0.0f);
    EXPECT_NEAR(clip[0] / clip[3], 0.0f, 1e-4f);
    EXPECT_NEAR(clip[1] / clip[3], 0.0f, 1e-4f);
    EXPECT_GT(clip[2] / clip[3], -1.0f);
    EXPECT_LT(clip[2] / clip[3], 1.0f);
}

// The projection the free camera must build for the given state.
Matrix expectedFreeProjection(const CameraState& state) {
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    gluPerspective(60.0, 1.0, 0.1, 4000.0);
    glRotatef(state.pitch, -1.0f, 0.0f, 0.0f);
    glRotatef(state.yaw, 0.0f, -1.0f, 0.0f);
    glTranslatef(-state.eye.x, -state.eye.y, -state.eye.z);
    const Matrix m = currentMatrix(GL_PROJECTION_MATRIX);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    return m;
}

// Modelview selected and holding the matrix it held before.
void expectModelviewUntouched(const Matrix& before) {
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(currentMatrix(GL_MODELVIEW_MATRIX), before);
}

} // namespace

TEST(CameraGl, FreeCameraBuildsTheViewInTheProjection) {
    camera = CameraState{};
    camera.eye = {1.0f, 2.0f, 3.0f};
    camera.yaw = 90.0f;
    const Matrix modelview = markModelview();

    applyFreeCamera();
    const Matrix projection = currentMatrix(GL_PROJECTION_MATRIX);
    expectModelviewUntouched(modelview);
    EXPECT_EQ(projection, expectedFreeProjection(camera));
    // At yaw 90 the camera looks along -x.
    expectAtViewCentre(projection, -9.0f, 2.0f, 3.0f);

    // A positive pitch looks up.
    camera.yaw = 0.0f;
    camera.pitch = 30.0f;
    applyFreeCamera();
    expectModelviewUntouched(modelview);
    const float s = std::sin(30.0f * 3.14159265f / 180.0f);
    const float c = std::cos(30.0f * 3.14159265f / 180.0f);
    expectAtViewCentre(currentMatrix(GL_PROJECTION_MATRIX), 1.0f, 2.0f + 10.0f * s,
                       3.0f - 10.0f * c);
}

TEST(CameraGl, PathCameraLooksFromPositionAtTarget) {
    camera = CameraState{};
    camera.cameraPath.position = {10.0f, 5.0f, -4.0f};
    camera.cameraPath.target = {-2.0f, 1.0f, 7.0f};
    camera.eye = {100.0f, 100.0f, 100.0f}; // the free camera's state takes no part
    camera.yaw = 45.0f;
    const Matrix modelview = markModelview();

    applyPathCamera();
    const Matrix projection = currentMatrix(GL_PROJECTION_MATRIX);
    expectModelviewUntouched(modelview);

    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60.0, 1.0, 0.1, 4000.0);
    gluLookAt(10.0, 5.0, -4.0, -2.0, 1.0, 7.0, 0.0, 1.0, 0.0);
    EXPECT_EQ(projection, currentMatrix(GL_PROJECTION_MATRIX));
    glMatrixMode(GL_MODELVIEW);

    expectAtViewCentre(projection, -2.0f, 1.0f, 7.0f);
    // Up stays up: a point above the target appears above the centre.
    const std::array<float, 4> above = project(projection, -2.0f, 3.0f, 7.0f);
    EXPECT_GT(above[1] / above[3], 0.0f);
}

TEST(CameraGl, DragAndKeyMoveApplyTheFreeCamera) {
    camera = CameraState{};
    const Matrix modelview = markModelview();

    onMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 200, 200);
    onMouseDrag(170, 210);
    EXPECT_EQ(camera.yaw, 30.0f);
    EXPECT_EQ(camera.pitch, 350.0f);
    expectModelviewUntouched(modelview);
    EXPECT_EQ(currentMatrix(GL_PROJECTION_MATRIX), expectedFreeProjection(camera));

    moveFreeCamera(MOVE_UP);
    EXPECT_FLOAT_EQ(camera.eye.y, 0.1f);
    expectModelviewUntouched(modelview);
    EXPECT_EQ(currentMatrix(GL_PROJECTION_MATRIX), expectedFreeProjection(camera));
}
