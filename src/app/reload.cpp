// Live reload: a load into fresh scene records, then a swap, so the loaders stay as they are.
#include "app/reload.h"

#include <utility>
#include <vector>

#include "path/camera.h"
#include "path/trajectory_file.h"
#include "render/mesh_lists.h"
#include "render/scene_upload.h"
#include "scene/scene_state.h"

// The scene records a load writes: the three lists, the object flag and the camera.
struct SceneRecords {
    std::vector<Mesh> world;
    std::vector<SceneObject> objects;
    std::vector<Mesh> trees;
    int objectsLoaded = 0;
    CameraState camera;
};

// Moves the global scene into `records`, leaving the globals empty for a new load.
static void takeScene(SceneRecords& records) {
    records.world = std::move(worldList);
    records.objects = std::move(objectList);
    records.trees = std::move(treeList);
    records.objectsLoaded = objectsLoaded;
    records.camera = camera;
    worldList.clear();
    objectList.clear();
    treeList.clear();
    objectsLoaded = 0;
    camera.cameraPath = Trajectory{}; // the old points stay with the old records
}

// Gives back every GL name and trajectory point of a scene.
static void releaseRecords(SceneRecords& records) {
    for (Mesh& mesh : records.world) {
        releaseMeshDrawing(mesh);
    }
    for (SceneObject& object : records.objects) {
        releaseMeshDrawing(object.mesh);
        freeTrajectory(&object.path);
    }
    for (Mesh& mesh : records.trees) {
        releaseMeshDrawing(mesh);
    }
    freeTrajectory(&records.camera.cameraPath);
    records = SceneRecords{};
}

bool reloadMap(const std::string& mapName, MapReport& report, std::string& error) {
    SceneRecords old;
    takeScene(old);
    MapReport fresh;
    LoadResult result = loadMap(mapName, sceneUploadHooks(), fresh);
    SceneRecords loaded;
    takeScene(loaded);
    if (!result.ok) {
        releaseRecords(loaded);
        std::swap(worldList, old.world);
        std::swap(objectList, old.objects);
        std::swap(treeList, old.trees);
        objectsLoaded = old.objectsLoaded;
        camera = old.camera;
        error = result.message;
        return false;
    }
    releaseRecords(old);
    worldList = std::move(loaded.world);
    objectList = std::move(loaded.objects);
    treeList = std::move(loaded.trees);
    objectsLoaded = loaded.objectsLoaded;
    // The viewer's own turn and position survive a reload; the map decides the rest.
    const CameraState viewer = camera;
    camera = loaded.camera;
    camera.yaw = viewer.yaw;
    camera.pitch = viewer.pitch;
    camera.lastMouseX = viewer.lastMouseX;
    camera.lastMouseY = viewer.lastMouseY;
    compileMeshLists();
    report = fresh;
    return true;
}
