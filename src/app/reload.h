// Live reload of the authoring mode: the map read again in full into new records, then swapped
// in place of the old scene, or thrown away with the old scene kept. App side.
#pragma once

#include <string>

#include "scene/map.h"

// Reads map `mapName` again. On success the new scene replaces the old one (whose textures,
// display lists and paths are given back) and `report` is the new map's; on failure the old
// scene stays as it was, what was read is given back and `error` holds the loader's message.
bool reloadMap(const std::string& mapName, MapReport& report, std::string& error);
