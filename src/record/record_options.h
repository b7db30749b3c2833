// The recorder's command line: [--fps N] [--times] [--at S] [--to S] MAP OUT.mp4. Record side: no
// GL, no toolkit.
#pragma once

#include <string>

#define RECORD_DEFAULT_FPS 60
#define RECORD_MIN_FPS 1
#define RECORD_MAX_FPS 240

struct RecordOptions {
    int fps = RECORD_DEFAULT_FPS; // frames per second of show time
    bool showTimes = false;       // print where the time went at the end (the bench reads it)
    bool showUsage = false;       // --help: the usage line and nothing else
    int atMs = 0;                 // --at: show time of the first recorded frame
    int toMs = -1;                // --to: show time the clip stops at, -1 the show's end
    std::string mapName;          // the map, as the player takes it
    std::string outputPath;       // the video file, ending in .mp4
};

// The usage line, with its line end.
const char* recordUsage();

// Reads argv[1..]; false with a one-line message (no line end) in `error` for anything wrong.
bool parseRecordOptions(int argc, const char* const* argv, RecordOptions& options,
                        std::string& error);
