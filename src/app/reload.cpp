// Live reload: a load into fresh scene records, then a swap, so the loaders stay as they are.
#include "app/reload.h"

#include <utility>
#include <vector>

#include "base/file_watch.h"
#include "path/camera.h"
#include "path/trajectory_file.h"
#include "render/mesh_lists.h"
#include "render/scene_upload.h"
#include "render/texture.h"
#include "scene/scene_state.h"

// The scene records a load writes: the three lists, the object flag and the camera.
struct SceneRecords {
    std::vector<Mesh> world;
    std::vector<SceneObject> objects;
    std::vector<Mesh> trees;
    int objectsLoaded = 0;
    CameraState camera;
};

// One picture a scene uploaded: its file as it was then and the texture made from it.
struct PictureUse {
    std::string path;         // as the mesh file names it, under textures/
    std::string file;         // device, inode, size and time of the file: a save changes it
    unsigned int texture = 0; // the GL texture
    bool taken = false;       // taken over by the scene being read
};

static std::vector<PictureUse> scenePictures;   // the current scene's (written here only)
static std::vector<PictureUse> loadingPictures; // the scene being read

// The upload hook: an unchanged picture of the current scene is taken over, once per use.
static unsigned int reusePicture(const std::string& path) {
    const std::string file = fileIdentity(path);
    for (PictureUse& use : scenePictures) {
        if (!use.taken && use.path == path && !file.empty() && use.file == file) {
            use.taken = true;
            loadingPictures.push_back(PictureUse{use.path, use.file, use.texture, false});
            return use.texture;
        }
    }
    const unsigned int texture = uploadMeshPicture(path);
    if (texture != 0) {
        loadingPictures.push_back(PictureUse{path, file, texture, false});
    }
    return texture;
}

SceneLoadHooks reloadHooks() {
    SceneLoadHooks hooks = sceneUploadHooks();
    hooks.meshPicture = reusePicture;
    return hooks;
}

void adoptLoadedPictures() {
    scenePictures = std::move(loadingPictures);
    loadingPictures.clear();
}

// Zeroes the texture of each mesh whose picture was taken over, so releasing it keeps the picture.
static void keepTakenPictures(std::vector<Mesh*> meshes) {
    for (Mesh* mesh : meshes) {
        for (const PictureUse& use : scenePictures) {
            if (use.taken && mesh->texture == use.texture) {
                mesh->texture = 0;
            }
        }
    }
}

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

static std::vector<Mesh*> meshesOf(SceneRecords& records) {
    std::vector<Mesh*> meshes;
    for (Mesh& mesh : records.world) {
        meshes.push_back(&mesh);
    }
    for (SceneObject& object : records.objects) {
        meshes.push_back(&object.mesh);
    }
    for (Mesh& mesh : records.trees) {
        meshes.push_back(&mesh);
    }
    return meshes;
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
    loadingPictures.clear();
    LoadResult result = loadMap(mapName, reloadHooks(), fresh);
    SceneRecords loaded;
    takeScene(loaded);
    if (!result.ok) {
        // The pictures taken over still belong to the old scene.
        keepTakenPictures(meshesOf(loaded));
        for (PictureUse& use : scenePictures) {
            use.taken = false;
        }
        loadingPictures.clear();
        releaseRecords(loaded);
        std::swap(worldList, old.world);
        std::swap(objectList, old.objects);
        std::swap(treeList, old.trees);
        objectsLoaded = old.objectsLoaded;
        camera = old.camera;
        error = result.message;
        return false;
    }
    keepTakenPictures(meshesOf(old));
    releaseRecords(old);
    adoptLoadedPictures();
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
