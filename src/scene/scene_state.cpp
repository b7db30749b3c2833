// The scene lists of the process, filled once by the map loader.
#include "scene/scene_state.h"

#include "path/trajectory_file.h"

std::vector<Mesh> worldList;
std::vector<SceneObject> objectList;
std::vector<Mesh> treeList;
int objectsLoaded = 0;

void releaseScene() {
    for (SceneObject& object : objectList) {
        freeTrajectory(&object.path);
    }
    worldList.clear();
    objectList.clear();
    treeList.clear();
}
