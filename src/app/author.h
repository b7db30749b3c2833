// The authoring mode: a start at any show time, pause and seek keys, the time line in the
// bottom band and the live reload of the map's files. App side; nothing here runs unless the
// command line asks for it.
#pragma once

#include <string>

#include "scene/map.h"

#define AUTHOR_QUIET_MS 100 // a change must have been quiet this long before the map is read

struct AuthorOptions {
    bool author = false; // --author: keys, time line, live reload
    int atMs = -1;       // --at: show time to start at, -1 from the start as the show plays
    bool paused = false; // --paused: start held (implies --author)
    bool poll = false;   // --poll: watch the files by polling even where inotify is there
    std::string mapName; // the map to play
};

// Takes over after the player's start-up: the show moved to its starting time, and in the
// authoring mode the keys, the idle, the time line and the file watch.
void startAuthoring(const AuthorOptions& options, const MapReport& report);

// Moves the show to show time `ms` (0 <= ms < the show's end) by simulating it from the start.
void seekShow(int ms);
