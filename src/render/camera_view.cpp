// Camera matrices: the free camera and the path camera each write the whole view, perspective
// included, into the projection matrix and leave the modelview matrix current. Render side.
#include "render/camera_view.h"

#include <GL/glu.h>

#include "path/camera.h"

static const double CAMERA_FOV = 60.0;   // vertical field of view, degrees
static const double CAMERA_ASPECT = 1.0; // fixed, whatever the window's shape
static const double CAMERA_NEAR = 0.1;   // near clipping plane, world units
static const double CAMERA_FAR = 4000.0; // far clipping plane, world units

// Projection matrix selected, reset and given the fixed perspective.
static void loadCameraPerspective() {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(CAMERA_FOV, CAMERA_ASPECT, CAMERA_NEAR, CAMERA_FAR);
}

// Free camera: perspective, tilt by pitch, turn by yaw, then move the world by -eye.
void applyFreeCamera() {
    loadCameraPerspective();
    glRotatef(camera.pitch, -1.0f, 0.0f, 0.0f);
    glRotatef(camera.yaw, 0.0f, -1.0f, 0.0f);
    glTranslatef(-camera.eye.x, -camera.eye.y, -camera.eye.z);
    glMatrixMode(GL_MODELVIEW);
}

// Path camera: perspective, then look from the path's position at its target, y up.
void applyPathCamera() {
    const Vec3& eye = camera.cameraPath.position;
    const Vec3& centre = camera.cameraPath.target;
    loadCameraPerspective();
    gluLookAt(eye.x, eye.y, eye.z, centre.x, centre.y, centre.z, 0.0, 1.0, 0.0);
    glMatrixMode(GL_MODELVIEW);
}
