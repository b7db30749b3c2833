// Fuzz target: the map reader, then the files the map names. The bytes after the map's last
// section are split at each 0x01 byte; the pieces after the first become, in list order, the
// mesh files of the worlds, objects and trees, each object's trajectory and, for an animated
// camera, "camera.dpl". They are written to a scratch directory and read back by the parsers.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "fuzz_scratch.h"
#include "path/trajectory_file.h"
#include "scene/map_file.h"
#include "scene/mesh_file.h"

// A file the map names, and which parser reads it.
struct NamedFile {
    std::string path;
    bool isMesh;
};

// Names that would leave the scratch directory or that no file can have are not written.
static bool safeName(const std::string& name) {
    return !name.empty() && name.size() < 200 && name != "." && name != ".." &&
           name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

static std::vector<NamedFile> namedFiles(const MapFile& map) {
    const std::string& dir = scratchDir();
    std::vector<NamedFile> files;
    for (const auto* list : {&map.worlds, &map.objects, &map.trees}) {
        for (const MapEntry& entry : *list) {
            if (safeName(entry.name)) {
                files.push_back({dir + entry.name + ".msh", true});
            }
        }
    }
    for (const MapEntry& entry : map.objects) {
        if (safeName(entry.name)) {
            files.push_back({dir + entry.name + ".dpl", false});
        }
    }
    if (map.camera.anime == 1) {
        files.push_back({dir + "camera.dpl", false});
    }
    return files;
}

// Reads one file the way the loaders do, without their exits; a failure must carry a message.
static void parseNamedFile(const NamedFile& file) {
    TextReader reader;
    if (readerOpen(reader, file.path) != 0) {
        return;
    }
    bool ok;
    if (file.isMesh) {
        Mesh mesh;
        std::string textureName;
        ok = parseMesh(reader, mesh, textureName);
    } else {
        Trajectory trajectory;
        ok = parseTrajectory(reader, trajectory);
        freeTrajectory(&trajectory);
    }
    if (!ok && readerErrorText(reader).find(file.path + ":") != 0) {
        abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    TextReader reader;
    readerFromText(reader, "fuzz.mde", std::string((const char*)data, size));
    MapFile map;
    if (!parseMapFile(reader, map)) {
        if (reader.error.empty()) {
            abort();
        }
        return 0;
    }
    std::vector<NamedFile> files = namedFiles(map);
    const char* piece = reader.text + reader.pos;
    const char* end = reader.text + reader.size;
    std::vector<std::string> written;
    bool first = true;
    size_t next = 0;
    while (piece <= end && next < files.size()) {
        const char* stop = piece;
        while (stop < end && *stop != '\x01') {
            ++stop;
        }
        if (!first) {
            const NamedFile& file = files[next++];
            if (writeScratchFile(file.path, (const unsigned char*)piece, (size_t)(stop - piece))) {
                written.push_back(file.path);
            }
        }
        first = false;
        piece = stop + 1;
    }
    for (const NamedFile& file : files) {
        parseNamedFile(file);
    }
    for (const std::string& path : written) {
        unlink(path.c_str());
    }
    return 0;
}
