// The process entry: command line, window, start-up in order, main loop.
#pragma once

#include "scene/load_hooks.h"
#include "scene/map.h"

int runSkarn(int argc, char** argv);

// The start-up after the window, in the player's order: image library, show, GL state, the map
// and its callbacks, with the map's report in `report`. A start-up the show can't go on with
// returns its failure (its console lines printed); the caller ends the process with endStart.
// `hooks`: the map's upload hooks, null for the player's own.
LoadResult startPlayerShow(const char* mapName, MapReport& report,
                           const SceneLoadHooks* hooks = nullptr);

// The end of a failed start-up as the player ends: its message on standard error after what
// standard output holds; returns the exit status.
int endStart(const LoadResult& result);
