// The cameras build the whole view in the projection matrix while the modelview matrix stays
// current and untouched: what they look at lands in the middle of the window, upright; a drag or
// a key move applies the free camera.
#include <GL/glu.h>
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>

#include "path/camera.h"

namespace {

using Matrix = std::array<double, 16>;

// Runs `apply` over a recognisable modelview matrix, checks that matrix is current and untouched
// afterwards, and returns the projection matrix it left.
Matrix projectionAfter(const std::function<void()>& apply) {
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(1.0f, -2.0f, 3.0f);
    Matrix before, after, projection;
    glGetDoublev(GL_MODELVIEW_MATRIX, before.data());
    apply();
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetDoublev(GL_MODELVIEW_MATRIX, after.data());
    glGetDoublev(GL_PROJECTION_MATRIX, projection.data());
    EXPECT_TRUE(mode == GL_MODELVIEW && after == before);
    return projection;
}

// Window position of world point p under `projection` alone, in a 640 x 480 viewport.
std::array<double, 3> windowAt(const Matrix& projection, double x, double y, double z) {
    const Matrix identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const GLint viewport[4] = {0, 0, 640, 480};
    std::array<double, 3> w;
    gluProject(x, y, z, identity.data(), projection.data(), viewport, &w[0], &w[1], &w[2]);
    return w;
}

// The point `at` is in the middle of the window and in front; a point above it is higher up and
// one to the side `right` of the view is on the right.
void expectLookingAt(const Matrix& m, const Vec3& at, const Vec3& right) {
    const auto centre = windowAt(m, at.x, at.y, at.z);
    EXPECT_NEAR(centre[0], 320, 1e-3);
    EXPECT_NEAR(centre[1], 240, 1e-3);
    EXPECT_TRUE(centre[2] > 0 && centre[2] < 1);
    EXPECT_GT(windowAt(m, at.x, at.y + 1, at.z)[1], 241);
    EXPECT_GT(windowAt(m, at.x + right.x, at.y, at.z + right.z)[0], 321);
}

} // namespace

TEST(CameraGl, BothCamerasLookWhereTheyShouldAndDragsAndMovesApplyTheFreeOne) {
    // Yaw 90 looks along -x, pitch 30 looks up by 30 degrees; the right is then -z.
    camera = CameraState{};
    camera.eye = {1.0f, 2.0f, 3.0f};
    camera.yaw = 90.0f;
    camera.pitch = 30.0f;
    const float c = std::cos(M_PI / 6) * 10, s = std::sin(M_PI / 6) * 10;
    expectLookingAt(projectionAfter(applyFreeCamera), {1 - c, 2 + s, 3}, {0, 0, -1});
    camera.cameraPath.position = {10.0f, 5.0f, -4.0f};
    camera.cameraPath.target = {-2.0f, 1.0f, 7.0f}; // the right is then (-11, 0, -12)
    expectLookingAt(projectionAfter(applyPathCamera), camera.cameraPath.target, {-11, 0, -12});

    camera = CameraState{};
    onMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 200, 200);
    const Matrix dragged = projectionAfter([] { onMouseDrag(170, 210); });
    EXPECT_TRUE(camera.yaw == 30.0f && camera.pitch == 350.0f);
    EXPECT_EQ(dragged, projectionAfter(applyFreeCamera));
    const Matrix moved = projectionAfter([] { moveFreeCamera(MOVE_UP); });
    EXPECT_FLOAT_EQ(camera.eye.y, 0.1f);
    EXPECT_EQ(moved, projectionAfter(applyFreeCamera));
}
