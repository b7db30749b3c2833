// The cameras build the whole view in the projection matrix, from the expected calls, while the
// modelview matrix stays current and untouched; a drag or a key move applies the free camera.
#include <GL/glu.h>
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>

#include "path/camera.h"

namespace {

using Matrix = std::array<float, 16>;

// Runs `apply` over a recognisable modelview matrix, checks that matrix is current and untouched
// afterwards, and returns the projection matrix it left.
Matrix projectionAfter(const std::function<void()>& apply) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1.0f, -2.0f, 3.0f);
    glRotatef(25.0f, 0.0f, 1.0f, 0.0f);
    Matrix before, after, projection;
    glGetFloatv(GL_MODELVIEW_MATRIX, before.data());
    apply();
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    glGetFloatv(GL_MODELVIEW_MATRIX, after.data());
    EXPECT_EQ(after, before);
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    return projection;
}

// The projection built directly: perspective 60, 1.0, 0.1, 4000, then `view`.
Matrix built(const std::function<void()>& view) {
    return projectionAfter([&] {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, 1.0, 0.1, 4000.0);
        view();
        glMatrixMode(GL_MODELVIEW);
    });
}

// The free camera's view for the current state.
void freeView() {
    glRotatef(camera.pitch, -1.0f, 0.0f, 0.0f);
    glRotatef(camera.yaw, 0.0f, -1.0f, 0.0f);
    glTranslatef(-camera.eye.x, -camera.eye.y, -camera.eye.z);
}

} // namespace

TEST(CameraGl, BothCamerasBuildTheViewInTheProjection) {
    camera = CameraState{};
    camera.eye = {1.0f, 2.0f, 3.0f};
    camera.yaw = 90.0f;
    camera.pitch = 30.0f;
    camera.cameraPath.position = {10.0f, 5.0f, -4.0f};
    camera.cameraPath.target = {-2.0f, 1.0f, 7.0f};
    EXPECT_EQ(projectionAfter(applyFreeCamera), built(freeView));
    EXPECT_EQ(projectionAfter(applyPathCamera),
              built([] { gluLookAt(10.0, 5.0, -4.0, -2.0, 1.0, 7.0, 0.0, 1.0, 0.0); }));

    camera = CameraState{};
    onMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 200, 200);
    const Matrix dragged = projectionAfter([] { onMouseDrag(170, 210); });
    EXPECT_TRUE(camera.yaw == 30.0f && camera.pitch == 350.0f);
    EXPECT_EQ(dragged, built(freeView));
    const Matrix moved = projectionAfter([] { moveFreeCamera(MOVE_UP); });
    EXPECT_FLOAT_EQ(camera.eye.y, 0.1f);
    EXPECT_EQ(moved, built(freeView));
}
