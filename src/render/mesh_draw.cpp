// Drawing a mesh vertex by vertex.
#include "render/mesh_draw.h"

#include <GL/gl.h>

#include <cstddef>

int drawableFaceCount(const Mesh& mesh, bool textured) {
    size_t count = mesh.faceCount > 0 ? size_t(mesh.faceCount) : 0;
    if (count > mesh.faces.size() / 3) {
        count = mesh.faces.size() / 3;
    }
    if (textured && count > mesh.faceUVs.size() / 6) {
        count = mesh.faceUVs.size() / 6;
    }
    return int(count);
}

bool faceInRange(const Mesh& mesh, int i) {
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

void drawTexturedFace(const Mesh& mesh, int i) {
    for (int k = 0; k < 3; k++) {
        const int v = mesh.faces[3 * i + k];
        glNormal3f(mesh.normals[v].x, mesh.normals[v].y, mesh.normals[v].z);
        glTexCoord2f(mesh.faceUVs[6 * i + 2 * k], mesh.faceUVs[6 * i + 2 * k + 1]);
        glVertex3f(mesh.vertices[v].x, mesh.vertices[v].y, mesh.vertices[v].z);
    }
}

void drawMeshFaces(const Mesh& mesh, int first, int end) {
    glBegin(GL_TRIANGLES);
    for (int i = first; i < end; i++) {
        if (!faceInRange(mesh, i)) {
            continue;
        }
        if (mesh.textured != 0) {
            drawTexturedFace(mesh, i);
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

void beginMeshDrawing(const Mesh& mesh) {
    if (mesh.textured != 0) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, mesh.texture);
    } else {
        glColor3f(mesh.color.r, mesh.color.g, mesh.color.b);
    }
}

void endMeshDrawing(const Mesh& mesh) {
    if (mesh.textured != 0) {
        glDisable(GL_TEXTURE_2D);
    }
}

void drawMeshImmediate(const Mesh& mesh) {
    beginMeshDrawing(mesh);
    drawMeshFaces(mesh, 0, drawableFaceCount(mesh, mesh.textured != 0));
    endMeshDrawing(mesh);
}
