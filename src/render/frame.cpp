// The scene frame: a full-screen picture or the scene (sky, world, objects, trees, text).
#include "render/frame.h"

#include <GL/gl.h>

#include "path/camera.h"
#include "path/face_order.h"
#include "render/font.h"
#include "render/particles.h"
#include "render/screens.h"
#include "render/skybox.h"
#include "scene/scene_state.h"

// Number of faces whose indices and (for textured drawing) uv coordinates the arrays hold, so
// a record whose counts disagree with its arrays is never read past its end.
static int drawableFaceCount(const Mesh& mesh, bool textured) {
    size_t count = mesh.faceCount > 0 ? size_t(mesh.faceCount) : 0;
    if (count > mesh.faces.size() / 3) {
        count = mesh.faces.size() / 3;
    }
    if (textured && count > mesh.faceUVs.size() / 6) {
        count = mesh.faceUVs.size() / 6;
    }
    return int(count);
}

// True when the three corners of face i name existing vertices and normals.
static bool faceInRange(const Mesh& mesh, int i) {
    const size_t limit =
        mesh.vertices.size() < mesh.normals.size() ? mesh.vertices.size() : mesh.normals.size();
    for (int k = 0; k < 3; k++) {
        const int v = mesh.faces[3 * i + k];
        if (v < 0 || size_t(v) >= limit) {
            return false;
        }
    }
    return true;
}

// Normal, uv, then position of each corner of face i.
static void drawTexturedFace(const Mesh& mesh, int i) {
    for (int k = 0; k < 3; k++) {
        const int v = mesh.faces[3 * i + k];
        glNormal3f(mesh.normals[v].x, mesh.normals[v].y, mesh.normals[v].z);
        glTexCoord2f(mesh.faceUVs[6 * i + 2 * k], mesh.faceUVs[6 * i + 2 * k + 1]);
        glVertex3f(mesh.vertices[v].x, mesh.vertices[v].y, mesh.vertices[v].z);
    }
}

// Textured: texturing on around one batch of triangles, no colour set. Untextured: the mesh's
// colour becomes the current colour and texturing is not touched.
void drawMeshImmediate(const Mesh& mesh) {
    if (mesh.textured != 0) {
        const int count = drawableFaceCount(mesh, true);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, mesh.texture);
        glBegin(GL_TRIANGLES);
        for (int i = 0; i < count; i++) {
            if (faceInRange(mesh, i)) {
                drawTexturedFace(mesh, i);
            }
        }
        glEnd();
        glDisable(GL_TEXTURE_2D);
        return;
    }
    const int count = drawableFaceCount(mesh, false);
    glColor3f(mesh.color.r, mesh.color.g, mesh.color.b);
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < count; i++) {
        if (!faceInRange(mesh, i)) {
            continue;
        }
        for (int k = 0; k < 3; k++) {
            const int v = mesh.faces[3 * i + k];
            glNormal3f(mesh.normals[v].x, mesh.normals[v].y, mesh.normals[v].z);
            glVertex3f(mesh.vertices[v].x, mesh.vertices[v].y, mesh.vertices[v].z);
        }
    }
    glEnd();
}

// The list holds the same calls, texture enable, binding and colour included.
void drawMesh(const Mesh& mesh) {
    if (mesh.displayList != 0) {
        glCallList(mesh.displayList);
        return;
    }
    drawMeshImmediate(mesh);
}

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
// place and turned by -30 about y, target.z about z and target.x about x, culled.
static void drawObject(SceneObject& object, const ShowClock& clock) {
    const Vec3& position = object.path.position;
    if (object.mesh.emitsParticles == 1 && clock.particleStart <= clock.now) {
        const Vec3& drift = object.mesh.motionDelta;
        const Vec3& eye = camera.cameraPath.position;
        updateParticles(particleSystem, position.x, position.y, position.z, drift.x, drift.y,
                        drift.z, eye.x, eye.y, eye.z);
    }
    glEnable(GL_CULL_FACE);
    glTranslatef(position.x, position.y, position.z);
    glRotatef(object.path.target.x, 1, 0, 0);
    glRotatef(object.path.target.z, 0, 0, 1);
    glRotatef(-30, 0, 1, 0);
    drawMesh(object.mesh);
    glLoadIdentity();
}

// The scene in its fixed order; leaves texturing and culling off, depth writes on and the
// modelview at the identity.
static void drawScene(const ShowClock& clock) {
    glEnable(GL_TEXTURE_2D);
    drawSkyBox(0, 10, 0, 300, 300, 300);
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
