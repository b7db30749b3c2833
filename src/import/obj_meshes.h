// The meshes of an OBJ scene as they are read: faces triangulated as assimp triangulates them,
// corners joined (one vertex per distinct index triple), then made into assimp meshes with the
// file's normals or smooth ones made as assimp makes them. Import side.
#pragma once

#include <assimp/vector2.h>
#include <assimp/vector3.h>
#include <cstdint>
#include <string>
#include <vector>

struct aiMesh;
struct aiScene;

#define OBJ_POINTS 1
#define OBJ_LINES 2

// One corner of a face: indices into the file's positions, uv and normals (-1: none).
struct ObjCorner {
    int v = -1, vt = -1, vn = -1;
};

// What the file has read so far.
struct ObjLists {
    std::vector<aiVector3D> positions, normals;
    std::vector<aiVector2D> uvs;
    std::vector<uint64_t> recent; // per position: part id << 32 | the vertex it last joined
};

// One mesh to be: the faces of an object (or group) with one material.
struct ObjPart {
    std::string name;
    unsigned id = 0;         // its place among the file's parts
    unsigned material = ~0u; // ~0u: no usemtl reached it
    bool hasNormals = false, hasUV = false;
    unsigned loose = 0;                 // OBJ_POINTS, OBJ_LINES: read into it, not kept
    std::vector<ObjCorner> vertices;    // the distinct corners
    std::vector<unsigned> triangles;    // three vertices each
    std::vector<uint8_t> lastOfPolygon; // per triangle: the last one cut from its face
    std::vector<unsigned> table;        // open hash of `vertices`, while the part grows
};

// An object (or group) of the file: its node, with the parts that get triangles as its meshes.
struct ObjObject {
    std::string name;
    std::vector<unsigned> parts;
};

// Adds a face of three or more corners, cut into triangles.
void addPolygon(ObjPart& part, const std::vector<ObjCorner>& polygon, ObjLists& lists);

// Frees what only a growing part needs.
void finishPart(ObjPart& part);

// The assimp mesh of a part that has triangles.
aiMesh* makeMesh(const ObjPart& part, const ObjLists& lists);

// The scene's nodes (a root named after the file, a child per object) and meshes, in assimp's
// order; each part's memory is given back as its mesh is made. Materials are the caller's.
aiScene* makeScene(const std::string& file, const std::vector<ObjObject>& objects,
                   std::vector<ObjPart>& parts, const ObjLists& lists);
