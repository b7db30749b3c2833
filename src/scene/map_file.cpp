// Map files (".mde"): the sections read in their fixed order, nothing loaded from them.
#include "scene/map_file.h"

#include <new>

// Smallest room one listed name takes, its separator included.
static const size_t NAME_BYTES = 2;

// Reads "<keyword> (%d) :" and that many names.
static bool readNames(TextReader& reader, const char* keyword, const char* what,
                      std::vector<MapEntry>& names) {
    int count = 0;
    int64_t line = 0;
    names.clear();
    if (!readerCountLine(reader, keyword, what, NAME_BYTES, count, line)) {
        return false;
    }
    // The list grows with the names actually read: a count in a sparse file reserves nothing.
    for (int i = 0; i < count; ++i) {
        MapEntry entry;
        readerSkipSpace(reader);
        entry.line = reader.line;
        if (!readerWord(reader, entry.name)) {
            return false;
        }
        names.push_back(std::move(entry));
    }
    return true;
}

// The sections in file order; parseMapFile turns a failed allocation into a message.
static bool parseMapSections(TextReader& reader, MapFile& map) {
    map.sectionsRead = 0;
    readerSkipLine(reader);
    if (!parseCameraSection(reader, map.camera)) {
        return false;
    }
    map.sectionsRead = 1;
    // A lamp count of 0 or less sets up no lamp and is followed by no record.
    if (!readerCountLineAny(reader, "lampes", map.lampCount, map.lampLine)) {
        return false;
    }
    const int records = map.lampCount < 0 ? 0 : map.lampCount;
    if (!readerCountFits(reader, records, LAMP_RECORD_BYTES, map.lampLine, "lamp") ||
        !parseLamps(reader, records, map.lamps)) {
        return false;
    }
    map.sectionsRead = 2;
    std::vector<MapEntry>* lists[3] = {&map.worlds, &map.objects, &map.trees};
    const char* keywords[3] = {"monde", "objets", "arbres"};
    const char* what[3] = {"world mesh", "object", "tree"};
    for (int i = 0; i < 3; ++i) {
        if (!readNames(reader, keywords[i], what[i], *lists[i])) {
            return false;
        }
        map.sectionsRead = 3 + i;
    }
    return true;
}

bool parseMapFile(TextReader& reader, MapFile& map) {
    try {
        return parseMapSections(reader, map);
    } catch (const std::bad_alloc&) {
        return readerFail(reader, "not enough memory to read on");
    }
}
