// Map checker: the map file (camera, lamps, the three name lists) and the files it names.
#include <cstring>

#include "check_local.h"
#include "scene/map_file.h"

// True when a colour or intensity value lies in 0 to 1 (NaN does not).
static bool isUnitValue(float value) {
    return value >= 0.0f && value <= 1.0f;
}

// Warns about the lamp values outside 0 to 1 and errors on a count the player refuses.
static void checkLamps(CheckRun& run, const std::string& file, const MapFile& map) {
    if (map.lampCount > MAX_LAMPS) {
        addError(run, file, map.lampLine,
                 std::to_string(map.lampCount) + " lamps: at most " + std::to_string(MAX_LAMPS) +
                     " are allowed, the player switches every lamp off");
    }
    if (map.lampCount < 0) {
        addWarning(run, file, map.lampLine,
                   "a negative lamp count (" + std::to_string(map.lampCount) +
                       "): the map has no lamp");
    }
    static const char* channels[3] = {"red", "green", "blue"};
    for (const Lamp& lamp : map.lamps) {
        for (int c = 0; c < 3; ++c) {
            if (!isUnitValue(lamp.colour[c])) {
                addWarning(run, file, lamp.colourLine,
                           "lamp " + std::to_string(lamp.index) + " " + channels[c] + " " +
                               numberText(lamp.colour[c]) + " is outside 0 to 1");
            }
        }
        if (!isUnitValue(lamp.colour[3])) {
            addWarning(run, file, lamp.intensityLine,
                       "lamp " + std::to_string(lamp.index) + " intensity " +
                           numberText(lamp.colour[3]) + " is outside 0 to 1");
        }
    }
}

// Checks the meshes (and object trajectories) of one name list.
static void checkNames(CheckRun& run, const std::string& file, const std::string& mapDir,
                       const std::vector<MapEntry>& names, bool objects, bool trees) {
    for (const MapEntry& entry : names) {
        std::string namedAt = placeText(file, entry.line);
        MeshSummary mesh = checkMeshFile(run, mapDir + entry.name + ".msh", namedAt);
        if (trees && mesh.readable && !mesh.textured) {
            addWarning(run, file, entry.line,
                       "tree \"" + entry.name +
                           "\" has no texture: trees are always drawn textured");
        }
        if (objects) {
            checkTrajectoryFile(run, mapDir + entry.name + ".dpl", ROLE_OBJECT, namedAt);
        }
    }
}

// True for the words that open a section of the map file.
static bool isSectionWord(const std::string& name) {
    return name == "lampes" || name == "monde" || name == "objets" || name == "arbres";
}

// Drops the section words read as names (a list shorter than its count reads on into the next
// section) and returns a hint for the error message when there were any.
static std::string dropSectionWords(MapFile& map) {
    std::string hint;
    for (std::vector<MapEntry>* list : {&map.worlds, &map.objects, &map.trees}) {
        for (size_t i = 0; i < list->size(); ++i) {
            if (isSectionWord((*list)[i].name)) {
                hint = " (\"" + (*list)[i].name + "\" on line " + std::to_string((*list)[i].line) +
                       " was read as a name: the count above it announces more names than the "
                       "list holds)";
                list->resize(i);
                break;
            }
        }
    }
    return hint;
}

// Reads the map file and checks everything it names, as far as the file could be read.
static void checkMapFile(CheckRun& run, const std::string& mapDir, const std::string& file) {
    TextReader reader;
    int err = openChecked(run, file, reader);
    if (err != 0) {
        addError(run, file, 0, std::string("cannot open the map file: ") + fileErrorText(err));
        return;
    }
    MapFile map;
    size_t first = run.findings.size();
    bool whole = parseMapFile(reader, map);
    if (!whole) {
        addReaderError(run, reader);
        run.findings.back().message += dropSectionWords(map);
    } else if (!readerAtEnd(reader)) {
        addError(run, file, reader.line,
                 "more names than \"arbres (" + std::to_string(map.trees.size()) +
                     ")\" announces: " + readerFoundText(reader) + " is never read");
    }
    if (map.sectionsRead >= 2) {
        checkLamps(run, file, map);
    }
    sortFindingsFrom(run, first);

    if (map.sectionsRead >= 1 && map.camera.anime == 1) {
        checkTrajectoryFile(run, mapDir + "camera.dpl", ROLE_CAMERA, "");
    }
    if (map.sectionsRead >= 3) {
        checkNames(run, file, mapDir, map.worlds, false, false);
    }
    if (map.sectionsRead >= 4) {
        checkNames(run, file, mapDir, map.objects, true, false);
    }
    if (map.sectionsRead >= 5) {
        checkNames(run, file, mapDir, map.trees, false, true);
    }
}

std::vector<Finding> checkMap(const std::string& root, const std::string& mapName) {
    CheckRun run;
    run.root = root.empty() || root.back() == '/' ? root : root + "/";
    run.imageLibraryReady = false;
    std::string mapDir = "map/" + mapName + "/";
    checkMapFile(run, mapDir, mapDir + mapName + ".mde");
    checkShowFiles(run);
    return run.findings;
}
