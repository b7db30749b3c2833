// Map file and scene assembly: reads map/<name>/<name>.mde and everything it names.
#pragma once

#include <string>

// What the load found, so the application shell can switch its callbacks.
struct MapReport {
    bool hasObjectsOrTrees = false; // the scene frame becomes the display callback
    bool animatedCamera = false;    // the scene idle replaces the viewer idle, no mouse turning
};

// The map file of `mapName`: map/<name>/<name>.mde, relative to the working directory.
std::string mapFilePath(const std::string& mapName);

// Loads the map with the full console log; ends the process for a missing map (status 0),
// a missing mesh (status 1) or a file that breaks its grammar (status 1).
MapReport loadMap(const std::string& mapName);
