// Reading a scene file with assimp as untrusted input: only regular files of a stated size are
// opened, a binary glTF that claims more than it holds is refused before assimp sees it, and
// the post-process steps are chosen by format. Import side; runs inside the reader's child.
#pragma once

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <cstddef>
#include <memory>
#include <string>

// Limits of one import; each can be lowered (or raised) through the environment.
struct ImportLimits {
    size_t memoryMB = 8192; // SKARN_IMPORT_MEMORY_MB: address space of the scene reader
    int seconds = 300;      // SKARN_IMPORT_SECONDS: processor and wall-clock time
    size_t fileMB = 2048;   // SKARN_IMPORT_FILE_MB: largest file the reader opens
    size_t mapFiles = 4096; // SKARN_IMPORT_MAP_FILES: files of one map
    size_t mapMB = 2048;    // SKARN_IMPORT_MAP_MB: bytes of one map
};

// The defaults, with the environment's values where set to a positive whole number.
ImportLimits importLimits();

// A scene being read: assimp's is kept by `importer`, one built by a reader of ours by `own`.
struct SceneHold {
    Assimp::Importer importer;
    std::unique_ptr<aiScene> own;
    ~SceneHold(); // frees through freeScene
};

// Reads `file` into `hold`; null with `error` (without the file's name) on failure.
const aiScene* readScene(SceneHold& hold, const std::string& file, const ImportLimits& limits,
                         std::string& error);

// Gives back the scene's memory, whoever read it.
void freeScene(SceneHold& hold);

// The post-process steps of the first pass over a file of that name; normals and the joining
// of equal vertices follow as the scene needs them (see readScene).
unsigned postProcessSteps(const std::string& file);

// Empty when the file is not a binary glTF or its chunks fit in it; else why not.
std::string glbProblem(const std::string& file);
