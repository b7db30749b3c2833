// The scene lists of a loaded map, one of each for the process, in map-file order.
// Written by the map loader; read by the frame and the show timeline. An empty list draws nothing.
#pragma once

#include <vector>

#include "path/trajectory.h"
#include "scene/mesh.h"

// An animated object: a mesh that moves along its own trajectory.
struct SceneObject {
    Trajectory path; // placed at path.position, turned by path.target.x and .z (degrees)
    Mesh mesh;       // previousPosition and motionDelta follow the motion
};

extern std::vector<Mesh> worldList;         // section "monde"
extern std::vector<SceneObject> objectList; // section "objets"
extern std::vector<Mesh> treeList;          // section "arbres"
extern int objectsLoaded;                   // 1 once the object section was loaded

// Empties the lists and gives the objects' trajectory points back: before a second map load,
// and at quit, where the lists' own storage goes with the process and would orphan the points.
void releaseScene();
