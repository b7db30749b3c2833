// The scene lists of the process (who writes them: scene_state.h).
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
