// Drawing a mesh vertex by vertex: the calls that a mesh's display lists record.
#pragma once

#include "scene/mesh.h"

// Number of faces whose indices and (for textured drawing) uv coordinates the arrays hold, so
// a record whose counts disagree with its arrays is never read past its end.
int drawableFaceCount(const Mesh& mesh, bool textured);

// True when the three corners of face i name existing vertices and normals.
bool faceInRange(const Mesh& mesh, int i);

// Normal, uv, then position of each corner of face i.
void drawTexturedFace(const Mesh& mesh, int i);

// One batch of the faces first..end-1 that are in range: normal (and uv when textured) then
// position of each corner.
void drawMeshFaces(const Mesh& mesh, int first, int end);

// Textured: texturing on and the mesh's picture bound. Untextured: the mesh's colour becomes the
// current colour and texturing is not touched.
void beginMeshDrawing(const Mesh& mesh);

// Texturing off again after a textured mesh.
void endMeshDrawing(const Mesh& mesh);

// The whole mesh vertex by vertex (immediate mode), whether or not it has display lists.
void drawMeshImmediate(const Mesh& mesh);
