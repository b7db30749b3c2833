// Wavefront OBJ scenes read by a parser of our own into an assimp scene shaped as assimp's OBJ
// reader and our post-processing hand it to the converter: one mesh per object (or group) and
// material, triangles only, one vertex per distinct corner, the file's normals or smooth ones.
// Assimp's reader takes seconds on a million triangles; this one reads the file once into a
// buffer and builds the meshes as it goes. Import side; runs inside the reader's child.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

struct aiScene;

// The whole of a regular file of at most `limit` bytes, with a '\0' after its `size` bytes.
struct FileText {
    std::unique_ptr<char[]> bytes;
    size_t size = 0;
};

// Reads `path` into `out`; false with `error` (why, without the name) when it is missing, not a
// regular file (a FIFO or a folder would block or fail), unreadable or larger than `limit`.
bool readFileText(const std::string& path, size_t limit, FileText& out, std::string& error);

// Reads the OBJ `file` and the material libraries it names. Null with `error` (without the file's
// name, with the line where it helps) when the file is broken or too big; null with no error
// when it has a face of more than four corners (assimp's reader cuts those along their outline).
std::unique_ptr<aiScene> readObj(const std::string& file, size_t limit, std::string& error);
