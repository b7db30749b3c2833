// The materials of an OBJ scene: its .mtl libraries read as assimp reads them (the name, the
// diffuse colour Kd, the opacity d or Tr, the picture map_Kd with the library's folder in front)
// and turned into assimp materials for the converter. Import side.
#pragma once

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

struct aiMaterial;

#define OBJ_DEFAULT_MATERIAL "DefaultMaterial" // first of every scene's materials
#define OBJ_MAX_MATERIALS 65536 // more are refused: each costs far more than its line

struct ObjMaterial {
    std::string name;
    float diffuse[3] = {0.6f, 0.6f, 0.6f};
    float opacity = 1;
    std::string picture; // as the library names it, after the library's own folder
};

// The scene's materials in order of first mention, found by name.
struct ObjMaterials {
    std::vector<ObjMaterial> list;
    std::unordered_map<std::string, unsigned> byName;
    size_t libraryBytes = 0; // read from libraries so far: all of them within the file limit
};

// The index of the material named so, added with default values when new.
unsigned objMaterial(ObjMaterials& materials, const std::string& name);

// Reads the library `named` by an mtllib line of `objFile` (beside it, or the .mtl of the same
// name when that is missing; a library that cannot be opened adds nothing, as assimp does, and
// so does one past the limit of all libraries' bytes, so a file naming one library a million
// times does not read it a million times).
void readMaterialLibrary(const std::string& objFile, const std::string& named, size_t limit,
                         ObjMaterials& materials);

// The assimp material of one.
aiMaterial* makeMaterial(const ObjMaterial& material);
