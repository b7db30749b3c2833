// Display lists of the world and object meshes: each compiled once after the map is loaded, so a
// frame replays the recorded drawing instead of sending every vertex again.
#pragma once

#include "scene/mesh.h"

// Compiles one list per world mesh and per object mesh that has none yet, recording exactly the
// calls drawMesh makes; trees are left alone (their face order changes every frame). A mesh whose
// list could not be made (no list name, out of memory) keeps 0 and is drawn the immediate way.
void compileMeshLists();

// Compiles the list of one mesh; a mesh that has a list already keeps it. Returns the mesh's
// list name, or 0 (displayList left at 0) when the list could not be made.
unsigned int compileMeshList(Mesh& mesh);

// Deletes the lists of the world and object meshes and sets their displayList back to 0.
void releaseMeshLists();
