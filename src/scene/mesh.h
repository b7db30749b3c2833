// Mesh: one triangle mesh of a mesh file, split into what the file says and what drawing adds.
// Scene side: plain records, no GL (the GL names are only numbers here).
#pragma once

#include <vector>

#include "base/map_format.h"
#include "base/vec3.h"

struct Color3 {
    float r, g, b;
};

// The corners of a box around some vertices; low above high when it holds none.
struct Box3 {
    Vec3 low, high;
};

// What a mesh file says: positions, triangles, normals, uv, colour and options. The reader fills
// it whole; nothing else writes it, so each count agrees with its array.
struct MeshData {
    int vertexCount = 0;        // entries of vertices
    int faceCount = 0;          // triangles; the renderers loop over this count
    std::vector<Vec3> vertices; // positions in the mesh's own coordinates
    std::vector<int> faces;     // three vertex indices per triangle, 0-based, drawing order
    std::vector<float> faceUVs; // six floats per triangle (u,v of corners 0,1,2); textured only
    std::vector<Vec3> normals;  // one per vertex, same index as vertices
    int textured = 0;           // 1: draw with texture and faceUVs; 0: untextured in color
    Color3 color = {0, 0, 0};   // colour of the untextured mesh
    int depthTest = 1;          // 0 when the file asks for no depth test
    int emitsParticles = 0;     // 1: an animated object with this mesh trails particles
};

// What drawing a mesh adds: GL names (written by the load's picture hook and by render/'s
// display lists) and the work arrays of the trees' face sort (written by render/ each frame).
struct MeshDrawing {
    unsigned int texture = 0;     // OpenGL texture name of the picture (when textured)
    unsigned int displayList = 0; // compiled drawing of a world or object mesh, 0 when none
    std::vector<Box3> listParts;  // bounds of the faces of lists displayList, displayList + 1, ...
    std::vector<float> faceDistance; // work: one sort key per triangle
    std::vector<int> faceOrder;      // work: drawing order of the triangles
};

// A mesh of the scene lists: the file's data and its drawing data, under their own field names.
struct Mesh : MeshData, MeshDrawing {};
