// The process entry: command line, window, start-up in order, main loop.
#pragma once

#include "scene/load_hooks.h"
#include "scene/map.h"

int runSkarn(int argc, char** argv);

// The start-up after the window, in the player's order: image library, show, GL state, the map
// and its callbacks. A load the show can't go on without ends the process here, as in the player.
// `hooks`: the map's upload hooks, null for the player's own.
MapReport startPlayerShow(const char* mapName, const SceneLoadHooks* hooks = nullptr);
