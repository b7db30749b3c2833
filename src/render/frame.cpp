// The scene frame: a full-screen picture or the scene (sky, world, objects, trees, text).
#include "render/frame.h"

#include <GL/gl.h>

#include "base/show_layout.h"
#include "path/camera.h"
#include "render/face_order.h"
#include "render/font.h"
#include "render/mesh_draw.h"
#include "render/mesh_lists.h"
#include "render/particles.h"
#include "render/screens.h"
#include "render/skybox.h"
#include "scene/scene_state.h"

// A tree: its faces nearest first from the path camera, textured, with depth writes off (set by
// the caller). A tree without uv coordinates is drawn as a plain mesh in its colour instead.
static void drawTree(Mesh& tree) {
    if (tree.textured == 0) {
        glDisable(GL_TEXTURE_2D);
        drawMesh(tree);
        return;
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, tree.texture);
    glBegin(GL_TRIANGLES);
    sortFacesByCameraDistance(tree, camera.cameraPath.position);
    const int count = drawableFaceCount(tree, true);
    for (int k = 0; k < int(tree.faceOrder.size()); k++) {
        const int i = tree.faceOrder[k];
        if (i >= 0 && i < count && faceInRange(tree, i)) {
            drawTexturedFace(tree, i);
        }
    }
    glEnd();
}

// One animated object: its particles first (in world coordinates), then the mesh moved to its
// place and turned by the show's fixed turn about y, target.z about z and target.x about x, culled.
static void drawObject(SceneObject& object, const ShowClock& clock) {
    const Vec3& position = object.path.position;
    if (object.mesh.emitsParticles == 1 && clock.particleStart <= clock.now) {
        const Vec3& drift = object.motionDelta;
        const Vec3& eye = camera.cameraPath.position;
        updateParticles(particleSystem, position.x, position.y, position.z, drift.x, drift.y,
                        drift.z, eye.x, eye.y, eye.z);
    }
    glEnable(GL_CULL_FACE);
    glTranslatef(position.x, position.y, position.z);
    glRotatef(object.path.target.x, 1, 0, 0);
    glRotatef(object.path.target.z, 0, 0, 1);
    glRotatef(SHOW_OBJECT_TURN_DEGREES, 0, 1, 0);
    drawMesh(object.mesh);
    glLoadIdentity();
}

// The scene in its fixed order; leaves texturing and culling off, depth writes on and the
// modelview at the identity.
static void drawScene(const ShowClock& clock) {
    glEnable(GL_TEXTURE_2D);
    drawSkyBox(SHOW_SKY_CENTRE_X, SHOW_SKY_CENTRE_Y, SHOW_SKY_CENTRE_Z, SHOW_SKY_SIZE,
               SHOW_SKY_SIZE, SHOW_SKY_SIZE);
    glDisable(GL_TEXTURE_2D);
    for (const Mesh& mesh : worldList) {
        drawMesh(mesh);
    }
    for (SceneObject& object : objectList) {
        drawObject(object, clock);
    }
    glDisable(GL_CULL_FACE);
    for (Mesh& tree : treeList) {
        glDepthMask(GL_FALSE);
        drawTree(tree);
    }
    glDisable(GL_TEXTURE_2D);
    glDepthMask(GL_TRUE);
    printText(16, 16, 0, "Skarn");
    printText(500, 16, 0, "%d FPS", clock.shownFps);
}

// Clears, then draws what the phase shows; the instant of logoEnd stays cleared.
void drawSceneFrame(const ShowClock& clock) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    switch (framePhase(clock)) {
    case PHASE_LOGO:
        drawLogoScreen();
        break;
    case PHASE_INTRO:
        drawIntroScreen();
        break;
    case PHASE_SCENE:
        drawScene(clock);
        break;
    case PHASE_END:
        drawEndScreen();
        break;
    case PHASE_CLEARED:
        break;
    }
}
