// Mesh files (".msh"): the pure parse of the text format and the loader with its console lines.
#pragma once

#include <string>
#include <vector>

#include "scene/mesh.h"
#include "base/load_result.h"
#include "base/text_reader.h"
#include "scene/load_hooks.h"

// Reads a whole mesh file into `mesh` (the file's data only) without touching OpenGL. `textureName`
// gets the picture name of a textured mesh (empty otherwise). Returns false with the reader's error
// set when the file breaks the grammar, a count is negative or larger than the file can hold, a
// face names a vertex that does not exist, or the normals or uv lines are fewer than vertices or
// faces.
bool parseMesh(TextReader& reader, MeshData& mesh, std::string& textureName);

#define MESH_FAULT_LIMIT 20 // faults kept in detail; the rest are only counted

// Lists of more text than this are read in two halves on two threads: below it a thread costs
// more than it saves.
#define MESH_SPLIT_BYTES ((size_t)1 << 20)

// MESH_SPLIT_BYTES on a machine of two cores or more; on one, the largest size (never split).
size_t meshSplitBytes();

// A fault that a parse asked to keep going stepped over.
struct MeshFault {
    int64_t line;        // line of the fault
    std::string message; // what is wrong
};

// What the map checker wants from a mesh file beyond the record.
struct MeshFileDetails {
    bool keepGoing = false;        // in: step over bad face indices and short normal or uv lists
    int64_t colorLine = 0;         // out: line of the first colour value
    int64_t textureLine = 0;       // out: line of the texture name (textured meshes)
    std::vector<MeshFault> faults; // out: the first MESH_FAULT_LIMIT faults stepped over
    int faultCount = 0;            // out: every fault stepped over
    size_t splitBytes = meshSplitBytes(); // in: lists of more text are read on two threads
};

// The same parse, also giving the lines of the colour and the texture name; with keepGoing it
// records the faults it can step over and reads on, so one pass finds them all. The record of a
// mesh with faults is for checking only, never for drawing.
bool parseMesh(TextReader& reader, MeshData& mesh, std::string& textureName,
               MeshFileDetails& details);

// Prints the loading line and reads the mesh of the file into `mesh`; a textured mesh's picture
// goes to the hooks between the lines (see loadMeshTexture). A file that can't be opened fails
// with "path: system text", one that fails to parse with "path:line: error: what", status 1.
LoadResult loadMesh(const std::string& path, const SceneLoadHooks& hooks, Mesh& mesh);

// Prints the picture's loading line and hands it to hooks.meshPicture; a refused picture prints
// the failure line and leaves the mesh untextured with its texture field as it was.
void loadMeshTexture(const std::string& path, const SceneLoadHooks& hooks, Mesh& mesh);
