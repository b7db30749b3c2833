// Reading a scene file with assimp as untrusted input. Import side; runs inside the reader's
// child (import/reader_child), so whatever assimp does on a hostile file stays there.
#include "import/scene_reader.h"

#include <assimp/IOStream.hpp>
#include <assimp/IOSystem.hpp>
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "import/gltf_reader.h"
#include "import/obj_reader.h"
#include "import/vertex_join.h"

namespace {

#define GLB_MAGIC 0x46546C67u // "glTF"

// A file opened by the reader: a plain stdio stream, read only.
class PlainStream : public Assimp::IOStream {
  public:
    PlainStream(FILE* file, size_t size) : file(file), size(size) {}
    ~PlainStream() override {
        fclose(file);
    }
    size_t Read(void* buffer, size_t itemSize, size_t count) override {
        return itemSize && count ? fread(buffer, itemSize, count, file) : 0;
    }
    size_t Write(const void*, size_t, size_t) override {
        return 0;
    }
    aiReturn Seek(size_t offset, aiOrigin origin) override {
        int whence = origin == aiOrigin_SET   ? SEEK_SET
                     : origin == aiOrigin_CUR ? SEEK_CUR
                                              : SEEK_END;
        return fseeko(file, (off_t)offset, whence) == 0 ? aiReturn_SUCCESS : aiReturn_FAILURE;
    }
    size_t Tell() const override {
        return (size_t)ftello(file);
    }
    size_t FileSize() const override {
        return size;
    }
    void Flush() override {}

  private:
    FILE* file;
    size_t size;
};

// Opens only regular files no bigger than the limit: a FIFO, a device or a socket named by a
// scene (a .bin, a .mtl, a picture) would block the reader or never end.
class PlainFiles : public Assimp::IOSystem {
  public:
    explicit PlainFiles(size_t limit) : limit(limit) {}
    bool Exists(const char* path) const override {
        struct stat s;
        return stat(path, &s) == 0 && S_ISREG(s.st_mode) && (size_t)s.st_size <= limit;
    }
    char getOsSeparator() const override {
        return '/';
    }
    Assimp::IOStream* Open(const char* path, const char* mode) override {
        if (!mode || std::strchr(mode, 'w') || std::strchr(mode, 'a') || std::strchr(mode, '+'))
            return nullptr;
        // Not blocking on open: a FIFO without a writer would wait here forever.
        int fd = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        struct stat s;
        if (fd < 0)
            return nullptr;
        if (fstat(fd, &s) != 0 || !S_ISREG(s.st_mode) || (size_t)s.st_size > limit) {
            close(fd);
            return nullptr;
        }
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        FILE* file = fdopen(fd, "rb");
        if (!file) {
            close(fd);
            return nullptr;
        }
        return new PlainStream(file, (size_t)s.st_size);
    }
    void Close(Assimp::IOStream* stream) override {
        delete stream;
    }

  private:
    size_t limit;
};

size_t envNumber(const char* name, size_t fallback) {
    const char* text = getenv(name);
    char* end = nullptr;
    unsigned long long value = text ? strtoull(text, &end, 10) : 0;
    return text && *text && !*end && value > 0 && value < (1ull << 40) ? (size_t)value : fallback;
}

// True when some mesh stores one vertex per triangle corner (a glTF without indices).
bool cornerPerVertex(const aiScene& scene) {
    for (unsigned i = 0; scene.mMeshes && i < scene.mNumMeshes; i++) {
        const aiMesh* m = scene.mMeshes[i];
        if (m && m->mNumFaces > 0 && m->mNumVertices >= 3 * (size_t)m->mNumFaces)
            return true;
    }
    return false;
}

bool hasExtension(const std::string& file, const std::string& extension) {
    std::string tail =
        file.size() >= extension.size() ? file.substr(file.size() - extension.size()) : "";
    for (char& c : tail)
        c = (char)std::tolower((unsigned char)c);
    return tail == extension;
}

} // namespace

ImportLimits importLimits() {
    ImportLimits limits;
    limits.memoryMB = envNumber("SKARN_IMPORT_MEMORY_MB", limits.memoryMB);
    limits.seconds = (int)envNumber("SKARN_IMPORT_SECONDS", (size_t)limits.seconds);
    limits.fileMB = envNumber("SKARN_IMPORT_FILE_MB", limits.fileMB);
    limits.mapFiles = envNumber("SKARN_IMPORT_MAP_FILES", limits.mapFiles);
    limits.mapMB = envNumber("SKARN_IMPORT_MAP_MB", limits.mapMB);
    return limits;
}

unsigned postProcessSteps(const std::string&) {
    return aiProcess_Triangulate | aiProcess_SortByPType;
}

std::string glbProblem(const std::string& file) {
    FILE* in = fopen(file.c_str(), "rb");
    if (!in)
        return "";
    uint32_t header[3] = {0, 0, 0}, chunk[2];
    struct stat s;
    std::string problem;
    if (fstat(fileno(in), &s) == 0 && fread(header, 4, 3, in) == 3 && header[0] == GLB_MAGIC) {
        uint64_t size = (uint64_t)s.st_size, at = 12;
        if (header[2] > size)
            problem = "the binary glTF says it holds " + std::to_string(header[2]) +
                      " bytes but the file has " + std::to_string(size);
        while (problem.empty() && at + 8 <= size && fseeko(in, (off_t)at, SEEK_SET) == 0 &&
               fread(chunk, 4, 2, in) == 2) {
            if (at + 8 + chunk[0] > size)
                problem = "a chunk of the binary glTF says it holds " + std::to_string(chunk[0]) +
                          " bytes but the file has " + std::to_string(size - at - 8) + " after it";
            at += 8 + (uint64_t)chunk[0];
        }
    }
    fclose(in);
    return problem;
}

void freeScene(SceneHold& hold) {
    hold.importer.FreeScene();
    if (hold.own) // our glTF reader's meshes share index blocks
        releaseIndexBlocks(*hold.own);
    hold.own.reset();
}

SceneHold::~SceneHold() {
    freeScene(*this);
}

const aiScene* readScene(SceneHold& hold, const std::string& file, const ImportLimits& limits,
                         std::string& error) {
    if (hasExtension(file, ".obj")) { // ours (assimp's is several times slower) where it can
        hold.own = readObj(file, limits.fileMB << 20, error);
        if (hold.own || !error.empty())
            return hold.own.get();
    }
    Assimp::Importer& importer = hold.importer;
    error = glbProblem(file);
    if (!error.empty())
        return nullptr;
    GltfOutcome ours = readGltf(file, limits.fileMB << 20, hold.own, error);
    if (ours != GLTF_TO_ASSIMP)
        return ours == GLTF_READ ? hold.own.get() : nullptr;
    error.clear();
    importer.SetIOHandler(new PlainFiles(limits.fileMB << 20)); // the importer owns it
    const aiScene* scene = importer.ReadFile(file, postProcessSteps(file));
    // Joining merges nothing in an indexed file (glTF): other formats, which repeat their
    // vertices per corner, get it with the normals in one call as before. An OBJ whose meshes all
    // have the file's normals repeats its corners bit for bit: our one-pass join gives the same.
    if (scene && ((!hasExtension(file, ".gltf") && !hasExtension(file, ".glb")) ||
                  cornerPerVertex(*scene))) {
        bool ours = hasExtension(file, ".obj");
        for (unsigned i = 0; ours && i < scene->mNumMeshes; i++)
            ours = scene->mMeshes[i] && scene->mMeshes[i]->mNormals &&
                   canJoinVertices(*scene->mMeshes[i]);
        for (unsigned i = 0; ours && i < scene->mNumMeshes; i++)
            joinVertices(*scene->mMeshes[i]);
        if (!ours)
            scene = importer.ApplyPostProcessing(aiProcess_GenSmoothNormals |
                                                 aiProcess_JoinIdenticalVertices);
    } else if (scene) {
        scene = importer.ApplyPostProcessing(aiProcess_GenSmoothNormals);
    }
    if (!scene) {
        error = importer.GetErrorString();
        if (error.empty())
            error = "the scene reader could not read it";
    }
    return scene;
}
