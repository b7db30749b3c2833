// Map file and scene assembly: reads map/<name>/<name>.mde and everything it names.
#pragma once

#include <string>

#include "base/load_result.h"
#include "scene/load_hooks.h"

// What the load found, so the application shell can switch its callbacks.
struct MapReport {
    bool hasObjectsOrTrees = false; // the scene frame becomes the display callback
    bool animatedCamera = false;    // the scene idle replaces the viewer idle, no mouse turning
};

// The map file of `mapName`: map/<name>/<name>.mde, relative to the working directory.
std::string mapFilePath(const std::string& mapName);

// Loads the map with the full console log into the scene lists, the drawing work going to the
// hooks in log order. Fails for a missing map (status 0), a missing mesh (status 1) or a file
// that breaks its grammar (status 1), stopping there with nothing more printed.
LoadResult loadMap(const std::string& mapName, const SceneLoadHooks& hooks, MapReport& report);
