// Live reload of the authoring mode: the map read again in full into new records, then swapped
// in place of the old scene, or thrown away with the old scene kept. App side.
#pragma once

#include <string>

#include "scene/load_hooks.h"
#include "scene/map.h"

// Reads map `mapName` again. On success the new scene replaces the old one (whose textures,
// display lists and paths are given back) and `report` is the new map's; on failure the old
// scene stays as it was, what was read is given back and `error` holds the loader's message.
bool reloadMap(const std::string& mapName, MapReport& report, std::string& error);

// The player's upload hooks, keeping each picture's file and GL texture so that a reload takes
// an unchanged picture over instead of decoding it again. The first load of the authoring mode
// goes through them too.
SceneLoadHooks reloadHooks();

// After a first load made with reloadHooks: its pictures are the current scene's.
void adoptLoadedPictures();
