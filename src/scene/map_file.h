// Map files (".mde"): the pure parse of the camera section, the lamps and the three name lists.
#pragma once

#include <string>
#include <vector>

#include "scene/camera_section.h"
#include "scene/lamps.h"
#include "base/text_reader.h"

// A name listed in a section, with its line for messages.
struct MapEntry {
    std::string name; // base name of the mesh (and, for objects, the trajectory) file
    int64_t line;     // line of the name in the map file
};

// Everything a map file says, in file order.
struct MapFile {
    CameraSection camera = {{0, 0, 0}, {0, 0, 0}, 0};
    int lampCount = 0;             // the count as written; no lamp above MAX_LAMPS or below 1
    std::vector<Lamp> lamps;       // every record read, also those past MAX_LAMPS
    std::vector<MapEntry> worlds;  // section "monde"
    std::vector<MapEntry> objects; // section "objets"
    std::vector<MapEntry> trees;   // section "arbres"
    int64_t lampLine = 0;          // line of the lamp count, for messages
    int sectionsRead = 0;          // sections read whole, in file order: camera, lamps, monde,
                                   // objets, arbres (a broken file stops short of 5)
};

// Reads a whole map file from its start: the free first line, the camera section, the lamps
// and the three name lists. Returns false with the reader's error set when the file breaks the
// grammar or a count is negative or larger than the rest of the file can hold.
bool parseMapFile(TextReader& reader, MapFile& map);
