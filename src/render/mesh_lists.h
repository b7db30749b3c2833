// Display lists of the world and object meshes: each compiled once after the map is loaded, so a
// frame replays the recorded drawing instead of sending every vertex again.
#pragma once

#include "scene/mesh.h"

// Faces per list part: a part wholly out of view is skipped, and calling a part costs little
// next to drawing its faces.
const int MESH_LIST_PART_FACES = 4096;

// Compiles the lists of every world mesh and object mesh that has none yet; trees are left alone
// (their face order changes every frame). A mesh whose lists could not be made (no list names,
// out of memory) keeps displayList 0 and is drawn the immediate way.
void compileMeshLists();

// Compiles the lists of one mesh: its faces in file order, partFaces to a part, each part a list
// of the calls drawMeshImmediate makes between its glBegin and glEnd, and one last list that
// leaves the current normal and uv of the last vertex. A mesh that has lists keeps them. Returns
// the mesh's first list name, or 0 (displayList left at 0) when the lists could not be made.
unsigned int compileMeshList(Mesh& mesh, int partFaces = MESH_LIST_PART_FACES);

// Deletes the lists of the world and object meshes and sets their displayList back to 0.
void releaseMeshLists();

// Deletes one mesh's lists and its texture: a scene replaced by a reload gives its GL names back.
void releaseMeshDrawing(Mesh& mesh);

// Draws one mesh in the current modelview matrix: the parts of its lists that may be in view, or
// vertex by vertex when it has no lists. Same pixels and same state afterwards either way.
void drawMesh(const Mesh& mesh);

// Parts called and parts skipped by drawMesh since the program started.
struct MeshListCounts {
    long long partsDrawn;
    long long partsSkipped;
};
extern MeshListCounts meshListCounts; // written by drawMesh only
