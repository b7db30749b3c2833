// Mesh: one triangle mesh of a mesh file, with its texture and the work arrays of the face sort.
// Kept in its own header with no dependencies: the face ordering of path/ works on it.
#pragma once

#include <vector>

#include "base/vec3.h"

//----------------------------------------------------------------------------------
// Option bits of a mesh file's "option" line
//----------------------------------------------------------------------------------
#define MESH_OPTION_TEXTURED 16  // the texture section follows
#define MESH_OPTION_NO_DEPTH 32  // drawn without depth test (nothing reads it)
#define MESH_OPTION_PARTICLES 64 // an animated object with this mesh emits particles

struct Color3 {
    float r, g, b;
};

// The corners of a box around some vertices; low above high when it holds none.
struct Box3 {
    Vec3 low, high;
};

struct Mesh {
    int vertexCount = 0;        // entries of vertices
    int faceCount = 0;          // triangles; the renderers loop over this count
    std::vector<Vec3> vertices; // positions in the mesh's own coordinates
    std::vector<int> faces;     // three vertex indices per triangle, 0-based, drawing order
    std::vector<float> faceUVs; // six floats per triangle (u,v of corners 0,1,2); textured only
    std::vector<Vec3> normals;  // one per vertex, same index as vertices
    int textured = 0;           // 1: draw with texture and faceUVs; 0: untextured in color
    unsigned int texture = 0;   // OpenGL texture name of the picture (when textured)
    Color3 color = {0, 0, 0};   // colour of the untextured mesh
    int depthTest = 1;          // 0 when the file asks for no depth test
    int emitsParticles = 0;     // 1: an animated object with this mesh trails particles
    Vec3 previousPosition = {0, 0, 0}; // objects: position before the latest trajectory step
    Vec3 motionDelta = {0, 0, 0};      // objects: previous minus new position after the latest step
    std::vector<float> faceDistance;   // work: one sort key per triangle
    std::vector<int> faceOrder;        // work: drawing order of the triangles
    unsigned int displayList = 0;      // compiled drawing of a world or object mesh, 0 when none
    std::vector<Box3> listParts; // bounds of the faces of lists displayList, displayList + 1, ...
};
