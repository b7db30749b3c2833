// Map loading: parses the map file, then loads its camera path, lamps, meshes and trajectories
// into the scene lists with the console log in file order.
#include "scene/map.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "path/trajectory_file.h"
#include "scene/map_file.h"
#include "scene/mesh_file.h"
#include "scene/scene_state.h"

// Loads the meshes of one list section in list order, after its heading line.
static LoadResult loadMeshList(const char* heading, const std::vector<MapEntry>& names,
                               const std::string& mapDir, const SceneLoadHooks& hooks,
                               std::vector<Mesh>& list) {
    printf("%s", heading);
    list.reserve(names.size());
    for (const MapEntry& entry : names) {
        list.emplace_back();
        LoadResult result = loadMesh(mapDir + entry.name + ".msh", hooks, list.back());
        if (!result.ok) {
            return result;
        }
    }
    return LoadResult{};
}

// Loads each animated object: its mesh, then its trajectory of the same base name.
static LoadResult loadObjects(const std::vector<MapEntry>& names, const std::string& mapDir,
                              const SceneLoadHooks& hooks) {
    objectsLoaded = 1;
    printf("Chargement objets animes :\n");
    objectList.reserve(names.size());
    for (const MapEntry& entry : names) {
        objectList.emplace_back();
        SceneObject& object = objectList.back();
        LoadResult result = loadMesh(mapDir + entry.name + ".msh", hooks, object.mesh);
        if (result.ok) {
            result = trajectoryFromFile(mapDir + entry.name + ".dpl", object.path);
        }
        if (!result.ok) {
            return result;
        }
    }
    return LoadResult{};
}

// Everything after the map file's parse, in file order; stops at the first failure.
static LoadResult loadSections(const MapFile& map, const std::string& mapDir,
                               const SceneLoadHooks& hooks, MapReport& report) {
    LoadResult result = loadCameraSection(map.camera, mapDir);
    if (!result.ok) {
        return result;
    }
    report.animatedCamera = (map.camera.anime == 1);
    if (map.lampCount > MAX_LAMPS) {
        printf("Nombre de lampes trop \xe9lev\xe9. Les lampes sont d\xe9sactiv\xe9"
               "es !\n");
    } else {
        loadLamps(map.lamps, hooks);
    }
    if (!map.worlds.empty()) {
        result = loadMeshList("Chargement decor :\n", map.worlds, mapDir, hooks, worldList);
    }
    if (result.ok && !map.objects.empty()) {
        result = loadObjects(map.objects, mapDir, hooks);
        report.hasObjectsOrTrees = true;
    }
    if (result.ok && !map.trees.empty()) {
        result = loadMeshList("Chargement arbres :\n", map.trees, mapDir, hooks, treeList);
        report.hasObjectsOrTrees = true;
    }
    return result;
}

std::string mapFilePath(const std::string& mapName) {
    return "map/" + mapName + "/" + mapName + ".mde";
}

LoadResult loadMap(const std::string& mapName, const SceneLoadHooks& hooks, MapReport& report) {
    report = MapReport{};
    std::string mapDir = "map/" + mapName + "/";
    std::string path = mapFilePath(mapName);
    TextReader reader;
    int err = readerOpen(reader, path);
    if (err != 0) {
        return loadFailure(path + ": " + fileErrorText(err), 0);
    }
    // The whole file is checked first, so a broken map stops before anything is loaded.
    MapFile map;
    if (!parseMapFile(reader, map)) {
        return loadFailure(readerErrorText(reader), 1);
    }
    releaseScene(); // a map loaded before (tests load several) gives its points back first
    LoadResult result = loadSections(map, mapDir, hooks, report);
    if (result.ok) {
        printf("Chargement de la map effectue\n");
    }
    return result;
}
