// The scene lists of the process, filled once by the map loader.
#include "scene/scene_state.h"

std::vector<Mesh> worldList;
std::vector<SceneObject> objectList;
std::vector<Mesh> treeList;
int objectsLoaded = 0;
