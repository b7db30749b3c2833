// Display lists of the world and object meshes, compiled once from the immediate-mode drawing.
#include "render/mesh_lists.h"

#include <GL/gl.h>

#include <cmath>
#include <limits>

#include "render/mesh_draw.h"
#include "render/view_volume.h"
#include "scene/scene_state.h"

MeshListCounts meshListCounts = {0, 0};

// Bounds of the in-range faces first..end-1; a vertex that is not finite makes the box endless
// (never skipped).
static Box3 partBounds(const Mesh& mesh, int first, int end) {
    const float inf = std::numeric_limits<float>::infinity();
    Box3 box = {{inf, inf, inf}, {-inf, -inf, -inf}};
    for (int i = first; i < end; i++) {
        if (!faceInRange(mesh, i)) {
            continue;
        }
        for (int k = 0; k < 3; k++) {
            const Vec3& v = mesh.vertices[mesh.faces[3 * i + k]];
            if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) {
                return {{-inf, -inf, -inf}, {inf, inf, inf}};
            }
            box.low = {std::fmin(box.low.x, v.x), std::fmin(box.low.y, v.y),
                       std::fmin(box.low.z, v.z)};
            box.high = {std::fmax(box.high.x, v.x), std::fmax(box.high.y, v.y),
                        std::fmax(box.high.z, v.z)};
        }
    }
    return box;
}

// The current normal and uv the last drawn vertex leaves, for when its part is skipped.
static void recordLastVertex(const Mesh& mesh, int count) {
    for (int i = count - 1; i >= 0; i--) {
        if (faceInRange(mesh, i)) {
            const Vec3& n = mesh.normals[mesh.faces[3 * i + 2]];
            glNormal3f(n.x, n.y, n.z);
            if (mesh.textured != 0) {
                glTexCoord2f(mesh.faceUVs[6 * i + 4], mesh.faceUVs[6 * i + 5]);
            }
            return;
        }
    }
}

unsigned int compileMeshList(Mesh& mesh, int partFaces) {
    if (mesh.displayList != 0) {
        return mesh.displayList;
    }
    // Errors left by earlier calls would be taken for a failed compile.
    while (glGetError() != GL_NO_ERROR) {
    }
    const int count = drawableFaceCount(mesh, mesh.textured != 0);
    const int parts = count > 0 ? 1 + (count - 1) / partFaces : 1;
    const GLuint base = glGenLists(parts + 1);
    if (base == 0) {
        return 0;
    }
    // GL_COMPILE records without drawing: the state stays as it was until the lists are called.
    std::vector<Box3> bounds;
    for (int part = 0; part < parts; part++) {
        const int first = part * partFaces;
        const int end = count - first < partFaces ? count : first + partFaces;
        glNewList(base + part, GL_COMPILE);
        drawMeshFaces(mesh, first, end);
        glEndList();
        bounds.push_back(partBounds(mesh, first, end));
    }
    glNewList(base + parts, GL_COMPILE);
    recordLastVertex(mesh, count);
    glEndList();
    if (glGetError() != GL_NO_ERROR) {
        glDeleteLists(base, parts + 1);
        return 0;
    }
    mesh.displayList = base;
    mesh.listParts = std::move(bounds);
    return base;
}

void compileMeshLists() {
    for (Mesh& mesh : worldList) {
        compileMeshList(mesh);
    }
    for (SceneObject& object : objectList) {
        compileMeshList(object.mesh);
    }
}

// Deletes one mesh's lists, if it has them.
static void releaseMeshList(Mesh& mesh) {
    if (mesh.displayList != 0) {
        glDeleteLists(mesh.displayList, GLsizei(mesh.listParts.size() + 1));
        mesh.displayList = 0;
        mesh.listParts.clear();
    }
}

void releaseMeshDrawing(Mesh& mesh) {
    releaseMeshList(mesh);
    if (mesh.texture != 0) {
        glDeleteTextures(1, &mesh.texture);
        mesh.texture = 0;
    }
}

void releaseMeshLists() {
    for (Mesh& mesh : worldList) {
        releaseMeshList(mesh);
    }
    for (SceneObject& object : objectList) {
        releaseMeshList(object.mesh);
    }
}

void drawMesh(const Mesh& mesh) {
    if (mesh.displayList == 0) {
        drawMeshImmediate(mesh);
        return;
    }
    beginMeshDrawing(mesh);
    const ViewVolume volume = currentViewVolume();
    const size_t parts = mesh.listParts.size();
    bool lastDrawn = false;
    for (size_t part = 0; part < parts; part++) {
        lastDrawn = boxMayBeInView(volume, mesh.listParts[part]);
        if (lastDrawn) {
            glCallList(GLuint(mesh.displayList + part));
            meshListCounts.partsDrawn += 1;
        } else {
            meshListCounts.partsSkipped += 1;
        }
    }
    if (!lastDrawn) {
        glCallList(GLuint(mesh.displayList + parts)); // the last vertex's normal and uv
    }
    endMeshDrawing(mesh);
}
