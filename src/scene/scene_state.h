// The scene lists of a loaded map, one of each for the process, in map-file order. An empty list
// draws nothing. Who writes them:
//   - the map loader (scene/map) fills them, releaseScene (here) empties them, the show start
//     (app/show) clears them before the load;
//   - the display lists (render/mesh_lists) write each mesh's displayList and listParts once
//     after the load, the frame (render/frame) the trees' faceOrder and faceDistance each frame;
//   - the show timeline (app/show) moves the objects: their path and motion, each frame.
// The frame reads them all.
#pragma once

#include <vector>

#include "path/trajectory.h"
#include "scene/mesh.h"

// An animated object: a mesh that moves along its own trajectory.
struct SceneObject {
    Trajectory path;                   // placed at path.position, turned by path.target.x and .z
    Mesh mesh;                         // what it looks like
    Vec3 previousPosition = {0, 0, 0}; // position before the latest trajectory step
    Vec3 motionDelta = {0, 0, 0};      // previous minus new position after the latest step
};

extern std::vector<Mesh> worldList;         // section "monde"
extern std::vector<SceneObject> objectList; // section "objets"
extern std::vector<Mesh> treeList;          // section "arbres"
extern int objectsLoaded;                   // 1 once the object section was loaded

// Empties the lists and gives the objects' trajectory points back: before a second map load,
// and at quit, where the lists' own storage goes with the process and would orphan the points.
void releaseScene();
