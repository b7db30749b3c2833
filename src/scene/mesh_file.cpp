// Mesh files (".msh"): vertices, faces, normals, colour, options and the optional texture section.
#include "scene/mesh_file.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>

#include "scene/texture.h"

// Smallest room one list entry takes in a file, one separator included ("0 0 0\n", "0,0 0,0
// 0,0\n").
static const size_t TRIPLE_BYTES = 6;
static const size_t UV_LINE_BYTES = 12;

// Sizes `v` to `count` entries. Large arrays are faulted in bulk first: one page fault per
// 4 KiB page costs more than parsing the numbers that fill it.
template <typename T> static void sizeArray(std::vector<T>& v, size_t count) {
    const size_t bulk = (size_t)1 << 21;
    v.reserve(count);
    size_t bytes = count * sizeof(T);
    if (bytes >= 2 * bulk) {
        uintptr_t from = ((uintptr_t)v.data() + bulk - 1) & ~(uintptr_t)(bulk - 1);
        uintptr_t to = ((uintptr_t)v.data() + bytes) & ~(uintptr_t)(bulk - 1);
        madvise((void*)from, to - from, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
        madvise((void*)from, to - from, MADV_POPULATE_WRITE);
#endif
    }
    v.resize(count);
}

// The fast loops below read one list entry at a time from a local cursor; an entry in any but
// the plain form is read again from its start by the general reads, which give the same values
// for plain entries and know every other form and every error message.

// Cursor of the fast loops: the next byte and the line it stands on.
struct FastCursor {
    const char* p;
    const char* end;
    int line;
};

static FastCursor fastCursor(const TextReader& reader) {
    return {reader.text + reader.pos, reader.text + reader.size, reader.line};
}

static void fastStore(TextReader& reader, const FastCursor& c) {
    reader.pos = (size_t)(c.p - reader.text);
    reader.line = c.line;
}

// Blanks, then a plain float; false (cursor unspecified) when the text is not in plain form.
static inline bool fastFloat(FastCursor& c, float& value) {
    c.p = readerSkipBlanks(c.p, c.end, c.line);
    const char* stop = readerScanSimpleFloat(c.p, c.end, value);
    if (stop == nullptr) {
        return false;
    }
    c.p = stop;
    return true;
}

// Blanks, then a plain integer.
static inline bool fastInt(FastCursor& c, int& value) {
    c.p = readerSkipBlanks(c.p, c.end, c.line);
    const char* stop = readerScanSimpleInt(c.p, c.end, value);
    if (stop == nullptr) {
        return false;
    }
    c.p = stop;
    return true;
}

// Reads `count` lines of three floats into `out`, already sized.
static bool readTriples(TextReader& reader, std::vector<Vec3>& out) {
    if (reader.failed) {
        return false;
    }
    FastCursor c = fastCursor(reader);
    for (Vec3& v : out) {
        FastCursor entry = c;
        if (fastFloat(entry, v.x) && fastFloat(entry, v.y) && fastFloat(entry, v.z)) {
            c = entry;
            continue;
        }
        fastStore(reader, c);
        if (!readerFloat3(reader, v.x, v.y, v.z)) {
            return false;
        }
        c = fastCursor(reader);
    }
    fastStore(reader, c);
    return true;
}

// Records a fault and returns true when the caller asked to keep going; otherwise fails the
// read with it.
static bool meshFault(TextReader& reader, MeshFileDetails& details, int line,
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

// Reads the triangles and checks each corner against the vertex count.
static bool readFaces(TextReader& reader, Mesh& mesh, MeshFileDetails& details) {
    if (reader.failed) {
        return false;
    }
    const unsigned limit = (unsigned)mesh.vertexCount;
    FastCursor c = fastCursor(reader);
    int* index = mesh.faces.data();
    int* const last = index + mesh.faces.size();
    for (; index != last; ++index) {
        FastCursor entry = c;
        if (fastInt(entry, *index) && (unsigned)*index < limit) {
            c = entry;
            continue;
        }
        fastStore(reader, c);
        if (!readerInt(reader, *index)) {
            return false;
        }
        if ((*index < 0 || *index >= mesh.vertexCount) &&
            !meshFault(reader, details, reader.line,
                       "face index " + std::to_string(*index) + " outside the " +
                           std::to_string(mesh.vertexCount) + " vertices")) {
            return false;
        }
        c = fastCursor(reader);
    }
    fastStore(reader, c);
    return true;
}

// One "%f,%f" pair: the comma right after the first number, blanks allowed after it.
static inline bool fastPair(FastCursor& c, float* uv) {
    if (!fastFloat(c, uv[0]) || c.p >= c.end || *c.p != ',') {
        return false;
    }
    ++c.p;
    return fastFloat(c, uv[1]);
}

// One uv line the general way: "%f,%f %f,%f %f,%f".
static bool readUvLine(TextReader& reader, float* uv) {
    return readerFloat(reader, uv[0]) && readerExpect(reader, ",") && readerFloat(reader, uv[1]) &&
           readerFloat(reader, uv[2]) && readerExpect(reader, ",") && readerFloat(reader, uv[3]) &&
           readerFloat(reader, uv[4]) && readerExpect(reader, ",") && readerFloat(reader, uv[5]);
}

// Reads "texture : name" and the uv section: u,v of the three corners of each triangle.
static bool readTextureSection(TextReader& reader, Mesh& mesh, std::string& textureName,
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
    int line = 0;
    if (!readerCountLine(reader, "uv mapping", "uv", UV_LINE_BYTES, uvCount, line)) {
        return false;
    }
    if (uvCount < mesh.faceCount && !meshFault(reader, details, line,
                                               std::to_string(uvCount) + " uv lines for " +
                                                   std::to_string(mesh.faceCount) + " faces")) {
        return false;
    }
    sizeArray(mesh.faceUVs, (size_t)uvCount * 6);
    FastCursor c = fastCursor(reader);
    float* uv = mesh.faceUVs.data();
    for (int i = 0; i < uvCount; ++i, uv += 6) {
        FastCursor entry = c;
        if (fastPair(entry, uv) && fastPair(entry, uv + 2) && fastPair(entry, uv + 4)) {
            c = entry;
            continue;
        }
        fastStore(reader, c);
        if (!readUvLine(reader, uv)) {
            return false;
        }
        c = fastCursor(reader);
    }
    fastStore(reader, c);
    return true;
}

bool parseMesh(TextReader& reader, Mesh& mesh, std::string& textureName) {
    MeshFileDetails details;
    return parseMesh(reader, mesh, textureName, details);
}

bool parseMesh(TextReader& reader, Mesh& mesh, std::string& textureName, MeshFileDetails& details) {
    textureName.clear();
    int line = 0;
    if (!readerCountLine(reader, "vertices", "vertex", TRIPLE_BYTES, mesh.vertexCount, line)) {
        return false;
    }
    sizeArray(mesh.vertices, (size_t)mesh.vertexCount);
    if (!readTriples(reader, mesh.vertices)) {
        return false;
    }

    if (!readerCountLine(reader, "faces", "face", TRIPLE_BYTES, mesh.faceCount, line)) {
        return false;
    }
    sizeArray(mesh.faces, (size_t)mesh.faceCount * 3);
    sizeArray(mesh.faceDistance, (size_t)mesh.faceCount);
    sizeArray(mesh.faceOrder, (size_t)mesh.faceCount);
    if (!readFaces(reader, mesh, details)) {
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
    sizeArray(mesh.normals, (size_t)normalCount);
    if (!readTriples(reader, mesh.normals)) {
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
    if (mesh.emitsParticles) {
        mesh.motionDelta = {0, 0, 0};
    }
    mesh.textured = (option & MESH_OPTION_TEXTURED) ? 1 : 0;
    if (mesh.textured) {
        return readTextureSection(reader, mesh, textureName, details);
    }
    return true;
}

Mesh loadMesh(const std::string& path) {
    printf("\tChargement du mesh %s ...\n", path.c_str());
    TextReader reader;
    int err = readerOpen(reader, path);
    if (err != 0) {
        fflush(stdout);
        fprintf(stderr, "%s: %s\n", path.c_str(), strerror(err));
        exit(1);
    }
    Mesh mesh;
    std::string textureName;
    if (!parseMesh(reader, mesh, textureName)) {
        fflush(stdout);
        fprintf(stderr, "%s\n", readerErrorText(reader).c_str());
        exit(1);
    }
    if (mesh.textured) {
        loadMeshTexture("textures/" + textureName, mesh);
    }
    return mesh;
}
