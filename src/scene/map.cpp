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

// Loads the world meshes, in list order.
static void loadWorldMeshes(const std::vector<MapEntry>& names, const std::string& mapDir) {
    printf("Chargement decor :\n");
    worldList.reserve(names.size());
    for (const MapEntry& entry : names) {
        worldList.push_back(loadMesh(mapDir + entry.name + ".msh"));
    }
}

// Loads each animated object: its mesh, then its trajectory of the same base name.
static void loadObjects(const std::vector<MapEntry>& names, const std::string& mapDir) {
    objectsLoaded = 1;
    printf("Chargement objets animes :\n");
    objectList.reserve(names.size());
    for (const MapEntry& entry : names) {
        SceneObject object;
        object.mesh = loadMesh(mapDir + entry.name + ".msh");
        object.path = trajectoryFromFile(mapDir + entry.name + ".dpl");
        objectList.push_back(std::move(object));
    }
}

// Loads the trees, in list order.
static void loadTrees(const std::vector<MapEntry>& names, const std::string& mapDir) {
    printf("Chargement arbres :\n");
    treeList.reserve(names.size());
    for (const MapEntry& entry : names) {
        treeList.push_back(loadMesh(mapDir + entry.name + ".msh"));
    }
}

std::string mapFilePath(const std::string& mapName) {
    return "map/" + mapName + "/" + mapName + ".mde";
}

MapReport loadMap(const std::string& mapName) {
    std::string mapDir = "map/" + mapName + "/";
    std::string path = mapFilePath(mapName);
    TextReader reader;
    int err = readerOpen(reader, path);
    if (err != 0) {
        readerExit(path + ": " + strerror(err), 0);
    }
    // The whole file is checked first, so a broken map stops before anything is loaded.
    MapFile map;
    if (!parseMapFile(reader, map)) {
        readerExit(readerErrorText(reader), 1);
    }

    MapReport report;
    releaseScene(); // a map loaded before (tests load several) gives its points back first
    loadCameraSection(map.camera, mapDir);
    report.animatedCamera = (map.camera.anime == 1);
    if (map.lampCount > MAX_LAMPS) {
        printf("Nombre de lampes trop \xe9lev\xe9. Les lampes sont d\xe9sactiv\xe9"
               "es !\n");
    } else {
        loadLamps(map.lamps);
    }
    if (!map.worlds.empty()) {
        loadWorldMeshes(map.worlds, mapDir);
    }
    if (!map.objects.empty()) {
        loadObjects(map.objects, mapDir);
        report.hasObjectsOrTrees = true;
    }
    if (!map.trees.empty()) {
        loadTrees(map.trees, mapDir);
        report.hasObjectsOrTrees = true;
    }
    printf("Chargement de la map effectue\n");
    return report;
}
