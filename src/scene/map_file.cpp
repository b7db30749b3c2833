// Map files (".mde"): the sections read in their fixed order, nothing loaded from them.
#include "scene/map_file.h"

// Smallest room one listed name takes, its separator included.
static const size_t NAME_BYTES = 2;

// Reads "<keyword> (%d) :" and that many names.
static bool readNames(TextReader& reader, const char* keyword, const char* what,
                      std::vector<MapEntry>& names) {
    int count = 0;
    int line = 0;
    names.clear();
    if (!readerCountLine(reader, keyword, what, NAME_BYTES, count, line)) {
        return false;
    }
    names.resize((size_t)count);
    for (MapEntry& entry : names) {
        readerSkipSpace(reader);
        entry.line = reader.line;
        if (!readerWord(reader, entry.name)) {
            return false;
        }
    }
    return true;
}

bool parseMapFile(TextReader& reader, MapFile& map) {
    readerSkipLine(reader);
    if (!parseCameraSection(reader, map.camera)) {
        return false;
    }
    int lampLine = 0;
    if (!readerCountLine(reader, "lampes", "lamp", LAMP_RECORD_BYTES, map.lampCount, lampLine)) {
        return false;
    }
    return parseLamps(reader, map.lampCount, map.lamps) &&
           readNames(reader, "monde", "world mesh", map.worlds) &&
           readNames(reader, "objets", "object", map.objects) &&
           readNames(reader, "arbres", "tree", map.trees);
}
