// Mesh files (".msh"): vertices, faces, normals, colour, options and the optional texture section.
#include "scene/mesh_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <new>
#include <stdexcept>
#include <thread>

#include "base/plain_lines.h"
#include "scene/list_arrays.h"
#include "scene/picture_check.h"

// Smallest room one list entry takes in a file, one separator included ("0 0 0\n", "0,0 0,0
// 0,0\n").
static const size_t TRIPLE_BYTES = 6;
static const size_t UV_LINE_BYTES = 12;

// The lists are read by one loop (readEntries), one entry at a time as a whole line of plain
// numbers ("1.5 -2 3\n"); an entry in any other shape, or too near the end of the text for the
// line scans, is read again from its start by the general reads, which give the same values for
// plain entries and know every other form and every error message. A long list first has its
// plain lines read in two halves on two threads; the loop goes on from the first entry they left.

// Where the line scans may start: READER_LINE_MARGIN bytes before the end of the text.
static const char* lineScanLimit(const TextReader& reader) {
    return reader.size > READER_LINE_MARGIN ? reader.text + reader.size - READER_LINE_MARGIN
                                            : reader.text;
}

// Moves the reader to p on `line`.
static void moveReader(TextReader& reader, const char* p, int64_t line) {
    reader.pos = (size_t)(p - reader.text);
    reader.line = line;
}

// Skips the blanks before an entry; an entry that starts right away (the usual case) costs
// one test.
static inline const char* entryStart(const char* p, const char* end, int64_t& line) {
    return (p < end && (unsigned char)*p > ' ') ? p : readerSkipBlanks(p, end, line);
}

// A plain float at p followed by `separator`; returns the byte after the separator, or null.
static inline const char* floatThen(const char* p, float& value, char separator) {
    p = readerLineFloat(p, value);
    return (p != nullptr && *p == separator) ? p + 1 : nullptr;
}

// A plain integer at p followed by a space; returns the byte after the space, or null.
static inline const char* intThenSpace(const char* p, int& value) {
    p = readerLineInt(p, value);
    return (p != nullptr && *p == ' ') ? p + 1 : nullptr;
}

// "%f %f %f" as one line; returns the start of the next entry, or null.
static inline const char* scanTripleLine(const char* p, Vec3& v, int64_t& line) {
    if ((p = floatThen(p, v.x, ' ')) && (p = floatThen(p, v.y, ' ')) &&
        (p = readerLineFloat(p, v.z))) {
        return readerLineEnd(p, line);
    }
    return nullptr;
}

// "%d %d %d" as one line, every index below `limit`; returns the next entry, or null.
static inline const char* scanFaceLine(const char* p, int* face, unsigned limit, int64_t& line) {
    if ((p = intThenSpace(p, face[0])) && (p = intThenSpace(p, face[1])) &&
        (p = readerLineInt(p, face[2])) && (unsigned)face[0] < limit && (unsigned)face[1] < limit &&
        (unsigned)face[2] < limit) {
        return readerLineEnd(p, line);
    }
    return nullptr;
}

// "%f,%f %f,%f %f,%f" as one line; returns the next entry, or null.
static inline const char* scanUvLine(const char* p, float* uv, int64_t& line) {
    if ((p = floatThen(p, uv[0], ',')) && (p = floatThen(p, uv[1], ' ')) &&
        (p = floatThen(p, uv[2], ',')) && (p = floatThen(p, uv[3], ' ')) &&
        (p = floatThen(p, uv[4], ',')) && (p = readerLineFloat(p, uv[5]))) {
        return readerLineEnd(p, line);
    }
    return nullptr;
}

// Reads the leading plain lines of a list of `count` entries, on two threads when it is long,
// and moves the reader past them. Returns how many were read.
template <typename ScanLine>
static size_t readPlainLines(TextReader& reader, size_t count, size_t splitBytes,
                             const ScanLine& scan) {
    const char* p = reader.text + reader.pos;
    const size_t read = plainLinesSplit(p, reader.text + reader.size, lineScanLimit(reader), count,
                                        splitBytes, scan);
    moveReader(reader, p, reader.line + (int64_t)read);
    return read;
}

// Reads `count` entries of `width` values each from `first` on: the leading plain lines first
// (on two threads when long), then entry by entry, by `scanLine(p, entry, line)` where the entry
// is one plain line and by `readGeneral(entry)` from its start where it is not.
template <typename T, typename ScanLine, typename ReadGeneral>
static bool readEntries(TextReader& reader, T* const first, size_t count, size_t width,
                        size_t splitBytes, const ScanLine& scanLine,
                        const ReadGeneral& readGeneral) {
    if (reader.failed) {
        return false;
    }
    const size_t plain = readPlainLines(reader, count, splitBytes, [&](const char* p, size_t i) {
        int64_t line = 0;
        return scanLine(p, first + width * i, line);
    });
    const char* const end = reader.text + reader.size;
    const char* const limit = lineScanLimit(reader);
    const char* p = reader.text + reader.pos;
    int64_t line = reader.line;
    for (T *entry = first + width * plain, *const last = first + width * count; entry != last;
         entry += width) {
        int64_t entryLine = line;
        const char* start = entryStart(p, end, entryLine);
        const char* next = start < limit ? scanLine(start, entry, entryLine) : nullptr;
        if (next != nullptr) {
            p = next;
            line = entryLine;
            continue;
        }
        moveReader(reader, p, line);
        if (!readGeneral(entry)) {
            return false;
        }
        p = reader.text + reader.pos;
        line = reader.line;
    }
    moveReader(reader, p, line);
    return true;
}

// Reads `count` lines of three floats into first[0..count).
static bool readTriples(TextReader& reader, Vec3* const first, size_t count, size_t splitBytes) {
    return readEntries(
        reader, first, count, 1, splitBytes,
        [](const char* p, Vec3* v, int64_t& line) { return scanTripleLine(p, *v, line); },
        [&reader](Vec3* v) { return readerFloat3(reader, v->x, v->y, v->z); });
}

// Records a fault and returns true when the caller asked to keep going; otherwise fails the
// read with it.
static bool meshFault(TextReader& reader, MeshFileDetails& details, int64_t line,
                      const std::string& message) {
    if (!details.keepGoing) {
        return readerFailAt(reader, line, message);
    }
    if (details.faults.size() < MESH_FAULT_LIMIT) {
        details.faults.push_back({line, message});
    }
    details.faultCount += 1;
    return true;
}

// Reads `count` triangles into first[0..3 count) and checks each corner against the vertex count.
static bool readFaces(TextReader& reader, const MeshData& mesh, MeshFileDetails& details,
                      int* const first, size_t count) {
    const unsigned vertexLimit = (unsigned)mesh.vertexCount;
    return readEntries(
        reader, first, count, 3, details.splitBytes,
        [vertexLimit](const char* p, int* face, int64_t& line) {
            return scanFaceLine(p, face, vertexLimit, line);
        },
        [&](int* face) {
            for (int corner = 0; corner < 3; ++corner) {
                if (!readerInt(reader, face[corner])) {
                    return false;
                }
                if ((face[corner] < 0 || face[corner] >= mesh.vertexCount) &&
                    !meshFault(reader, details, reader.line,
                               "face index " + std::to_string(face[corner]) + " outside the " +
                                   std::to_string(mesh.vertexCount) + " vertices")) {
                    return false;
                }
            }
            return true;
        });
}

// One uv line the general way: "%f,%f %f,%f %f,%f".
static bool readUvLine(TextReader& reader, float* uv) {
    return readerFloat(reader, uv[0]) && readerExpect(reader, ",") && readerFloat(reader, uv[1]) &&
           readerFloat(reader, uv[2]) && readerExpect(reader, ",") && readerFloat(reader, uv[3]) &&
           readerFloat(reader, uv[4]) && readerExpect(reader, ",") && readerFloat(reader, uv[5]);
}

// Reads `count` uv lines into first[0..6 count).
static bool readUvLines(TextReader& reader, float* const first, size_t count, size_t splitBytes) {
    return readEntries(
        reader, first, count, 6, splitBytes,
        [](const char* p, float* uv, int64_t& line) { return scanUvLine(p, uv, line); },
        [&reader](float* uv) { return readUvLine(reader, uv); });
}

// Reads "texture : name" and the uv section: u,v of the three corners of each triangle.
static bool readTextureSection(TextReader& reader, MeshData& mesh, std::string& textureName,
                               MeshFileDetails& details) {
    if (!readerExpect(reader, "\ntexture :")) {
        return false;
    }
    readerSkipSpace(reader);
    details.textureLine = reader.line;
    if (!readerWord(reader, textureName)) {
        return false;
    }
    int uvCount = 0;
    int64_t line = 0;
    if (!readerCountLine(reader, "uv mapping", "uv", UV_LINE_BYTES, uvCount, line)) {
        return false;
    }
    if (uvCount < mesh.faceCount && !meshFault(reader, details, line,
                                               std::to_string(uvCount) + " uv lines for " +
                                                   std::to_string(mesh.faceCount) + " faces")) {
        return false;
    }
    return readList(reader, mesh.faceUVs, (size_t)uvCount, 6, line, "uv",
                    [&](float* first, size_t count) {
                        return readUvLines(reader, first, count, details.splitBytes);
                    });
}

size_t meshSplitBytes() {
    static const size_t bytes =
        std::thread::hardware_concurrency() > 1 ? MESH_SPLIT_BYTES : SIZE_MAX;
    return bytes;
}

bool parseMesh(TextReader& reader, MeshData& mesh, std::string& textureName) {
    MeshFileDetails details;
    return parseMesh(reader, mesh, textureName, details);
}

// The sections in file order; parseMesh turns a failed allocation into a message.
static bool parseMeshSections(TextReader& reader, MeshData& mesh, std::string& textureName,
                              MeshFileDetails& details) {
    textureName.clear();
    int64_t line = 0;
    if (!readerCountLine(reader, "vertices", "vertex", TRIPLE_BYTES, mesh.vertexCount, line)) {
        return false;
    }
    auto triples = [&](Vec3* first, size_t count) {
        return readTriples(reader, first, count, details.splitBytes);
    };
    if (!readList(reader, mesh.vertices, (size_t)mesh.vertexCount, 1, line, "vertex", triples)) {
        return false;
    }

    if (!readerCountLine(reader, "faces", "face", TRIPLE_BYTES, mesh.faceCount, line)) {
        return false;
    }
    if (!readList(reader, mesh.faces, (size_t)mesh.faceCount, 3, line, "face",
                  [&](int* first, size_t count) {
                      return readFaces(reader, mesh, details, first, count);
                  })) {
        return false;
    }

    int normalCount = 0;
    if (!readerCountLine(reader, "normales", "normal", TRIPLE_BYTES, normalCount, line)) {
        return false;
    }
    if (normalCount < mesh.vertexCount &&
        !meshFault(reader, details, line,
                   std::to_string(normalCount) + " normals for " +
                       std::to_string(mesh.vertexCount) + " vertices")) {
        return false;
    }
    if (!readList(reader, mesh.normals, (size_t)normalCount, 1, line, "normal", triples)) {
        return false;
    }

    int option = 0;
    if (!readerExpect(reader, "\ncouleur :")) {
        return false;
    }
    readerSkipSpace(reader);
    details.colorLine = reader.line;
    if (!readerFloat3(reader, mesh.color.r, mesh.color.g, mesh.color.b) ||
        !readerExpect(reader, "\noption :") || !readerInt(reader, option)) {
        return false;
    }
    mesh.depthTest = (option & MESH_OPTION_NO_DEPTH) ? 0 : 1;
    mesh.emitsParticles = (option & MESH_OPTION_PARTICLES) ? 1 : 0;
    mesh.textured = (option & MESH_OPTION_TEXTURED) ? 1 : 0;
    if (mesh.textured) {
        return readTextureSection(reader, mesh, textureName, details);
    }
    return true;
}

LoadResult loadMesh(const std::string& path, const SceneLoadHooks& hooks, Mesh& mesh) {
    printf("\tChargement du mesh %s ...\n", path.c_str());
    TextReader reader;
    int err = readerOpen(reader, path);
    if (err != 0) {
        return loadFailure(path + ": " + fileErrorText(err), 1);
    }
    std::string textureName;
    if (!parseMesh(reader, mesh, textureName)) {
        return loadFailure(readerErrorText(reader), 1);
    }
    if (mesh.textured) {
        loadMeshTexture("textures/" + textureName, hooks, mesh);
    }
    return LoadResult{};
}

void loadMeshTexture(const std::string& path, const SceneLoadHooks& hooks, Mesh& mesh) {
    printf("\t\tChargement de la texture %s ...\n", path.c_str());
    const unsigned int texture = hooks.meshPicture != nullptr ? hooks.meshPicture(path) : 0;
    if (texture == 0) {
        printTextureFailure(path);
        mesh.textured = 0;
        return;
    }
    mesh.texture = texture;
}

bool parseMesh(TextReader& reader, MeshData& mesh, std::string& textureName,
               MeshFileDetails& details) {
    try {
        return parseMeshSections(reader, mesh, textureName, details);
    } catch (const std::bad_alloc&) {
        return readerFail(reader, "not enough memory to read on");
    }
}
