// The cameras build the whole view in the projection matrix while the modelview matrix stays
// current and untouched: what they look at lands in the middle of the window, upright; a drag or
// a key move applies the free camera.
#include <GL/glu.h>
#include <GL/glut.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>

#include "app/camera_input.h"
#include "app/keys.h"
#include "render/camera_view.h"

namespace {

using Matrix = std::array<double, 16>;

// Runs `apply` over a recognisable current modelview matrix, checks it is left current and
// untouched, and returns the projection matrix.
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
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_EQ(after, before);
    return projection;
}

// `at` is in the middle of the 640 x 480 window and in front; a point above it is higher up and
// one to the side `right` of the view is on the right.
void expectLookingAt(const Matrix& m, const Vec3& at, const Vec3& right) {
    const Matrix identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    const GLint viewport[4] = {0, 0, 640, 480};
    double w[3][3];
    const Vec3 points[3] = {at, {at.x, at.y + 1, at.z}, {at.x + right.x, at.y, at.z + right.z}};
    for (int i = 0; i < 3; i++) {
        gluProject(points[i].x, points[i].y, points[i].z, identity.data(), m.data(), viewport,
                   &w[i][0], &w[i][1], &w[i][2]);
    }
    EXPECT_TRUE(std::fabs(w[0][0] - 320) < 1e-3 && std::fabs(w[0][1] - 240) < 1e-3 && w[0][2] > 0 &&
                w[0][2] < 1 && w[1][1] > 241 && w[2][0] > 321);
}

} // namespace

// Yaw 90 looks along -x, pitch 30 looks up by 30 degrees; the right is then -z.
TEST(CameraGl, BothCamerasLookWhereTheyShouldAndDragsAndMovesApplyTheFreeOne) {
    camera = CameraState{};
    camera.eye = {1.0f, 2.0f, 3.0f};
    camera.yaw = 90.0f;
    camera.pitch = 30.0f;
    const float c = std::cos(M_PI / 6) * 10, s = std::sin(M_PI / 6) * 10;
    expectLookingAt(projectionAfter(applyFreeCamera), {1 - c, 2 + s, 3}, {0, 0, -1});
    camera.cameraPath.position = {10.0f, 5.0f, -4.0f};
    camera.cameraPath.target = {-2.0f, 1.0f, 7.0f}; // the right is then (-11, 0, -12)
    expectLookingAt(projectionAfter(applyPathCamera), camera.cameraPath.target, {-11, 0, -12});

    // A drag turns from where any of the three buttons was pressed, never a release or the wheel.
    for (int button : {GLUT_LEFT_BUTTON, GLUT_MIDDLE_BUTTON, GLUT_RIGHT_BUTTON}) {
        camera = CameraState{};
        onMouseButton(button, GLUT_DOWN, 200, 200);
        onMouseButton(button, GLUT_UP, 50, 60);
        onMouseButton(3, GLUT_DOWN, 70, 80);
        const Matrix dragged = projectionAfter([] { onMouseDrag(170, 210); });
        EXPECT_TRUE(camera.yaw == 30.0f && camera.pitch == 350.0f) << button;
        EXPECT_EQ(dragged, projectionAfter(applyFreeCamera));
    }
    const Matrix moved = projectionAfter([] { moveFreeCamera(MOVE_UP); });
    EXPECT_FLOAT_EQ(camera.eye.y, 0.1f);
    EXPECT_EQ(moved, projectionAfter(applyFreeCamera));
}

// Each free-camera key makes its own move (the keys are otherwise seen only end to end).
TEST(CameraGl, EachMoveKeyStepsItsOwnWay) {
    const struct {
        unsigned char key;
        CameraMove move;
    } keys[] = {{'r', MOVE_FORWARD}, {'f', MOVE_BACK}, {'d', MOVE_LEFT},
                {'g', MOVE_RIGHT},   {'y', MOVE_UP},   {'h', MOVE_DOWN}};
    for (const auto& k : keys) {
        CameraState expected;
        expected.eye = {1.0f, 2.0f, 3.0f};
        expected.yaw = 30.0f;
        camera = expected;
        stepFreeCamera(expected, k.move);
        onKey(k.key, 0, 0);
        EXPECT_TRUE(camera.eye.x == expected.eye.x && camera.eye.y == expected.eye.y &&
                    camera.eye.z == expected.eye.z)
            << k.key;
    }
    camera = CameraState{};
}

// Both cameras see from 0.1 to 4000 units with a 60 degree field, square whatever the window:
// the perspective read back from the projection of a camera at the origin looking along -z.
TEST(CameraGl, PerspectiveSpansNearToFarWithItsFieldOfView) {
    camera = CameraState{};
    camera.cameraPath.position = {0, 0, 0};
    camera.cameraPath.target = {0, 0, -1};
    for (void (*apply)() : {applyFreeCamera, applyPathCamera}) {
        const Matrix m = projectionAfter(apply);
        const double n = m[14] / (m[10] - 1), f = m[14] / (m[10] + 1);
        // Far within 1 %: the matrix is kept in single precision; m[5] is cot(fov / 2), m[0] the
        // same.
        EXPECT_TRUE(std::fabs(n - 0.1) < 1e-6 && std::fabs(f - 4000) < 40 &&
                    std::fabs(m[5] - 1 / std::tan(M_PI / 6)) < 1e-6 &&
                    std::fabs(m[0] - m[5]) < 1e-6);
    }
}
