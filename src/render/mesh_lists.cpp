// Display lists of the world and object meshes, compiled once from the immediate-mode drawing.
#include "render/mesh_lists.h"

#include <GL/gl.h>

#include "render/frame.h"
#include "scene/scene_state.h"

unsigned int compileMeshList(Mesh& mesh) {
    if (mesh.displayList != 0) {
        return mesh.displayList;
    }
    // Errors left by earlier calls would be taken for a failed compile.
    while (glGetError() != GL_NO_ERROR) {
    }
    const GLuint list = glGenLists(1);
    if (list == 0) {
        return 0;
    }
    // GL_COMPILE records without drawing: the state stays as it was until the list is called.
    glNewList(list, GL_COMPILE);
    drawMeshImmediate(mesh);
    glEndList();
    if (glGetError() != GL_NO_ERROR) {
        glDeleteLists(list, 1);
        return 0;
    }
    mesh.displayList = list;
    return list;
}

void compileMeshLists() {
    for (Mesh& mesh : worldList) {
        compileMeshList(mesh);
    }
    for (SceneObject& object : objectList) {
        compileMeshList(object.mesh);
    }
}

// Deletes one mesh's list, if it has one.
static void releaseMeshList(Mesh& mesh) {
    if (mesh.displayList != 0) {
        glDeleteLists(mesh.displayList, 1);
        mesh.displayList = 0;
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
