// One import from start to end: read the scene, convert it, write the map beside the others
// and the pictures under textures/, all or nothing. Import side; prints nothing, ends nothing.
// Limits (import/scene_reader.h) come from the environment.
#pragma once

#include <functional>
#include <string>
#include <vector>

#define MAP_NAME_LIMIT 34 // longest map name: the player's camera path name must fit

struct ImportRequest {
    std::string sceneFile;  // the 3D tool's file
    std::string mapName;    // MAP: the map is written to map/MAP/
    float scale = 1;        // --scale
    bool force = false;     // --force: replace an existing map of that name
    std::string root = "."; // the show's folder, holding map/ and textures/
    // Called about five times a second while the scene is read, converted and written, with
    // the stage ("reading", "converting", "writing") and the seconds spent; may be empty.
    std::function<void(const std::string& stage, double seconds)> progress;
};

// Imports the scene. Returns 0 with `lines` saying what was written and what was not carried
// over, or 1 with `error` naming the file and the reason, and nothing written.
int importScene(const ImportRequest& request, std::vector<std::string>& lines, std::string& error);
