// Mesh files (".msh"): the pure parse of the text format and the loader with its console lines.
#pragma once

#include <string>

#include "scene/mesh.h"
#include "scene/text_reader.h"

// Reads a whole mesh file into `mesh` without touching OpenGL. `textureName` gets the picture
// name of a textured mesh (empty otherwise). Returns false with the reader's error set when the
// file breaks the grammar, a count is negative or larger than the file can hold, a face names a
// vertex that does not exist, or the normals or uv lines are fewer than vertices or faces.
bool parseMesh(TextReader& reader, Mesh& mesh, std::string& textureName);

// Prints the loading line and returns the mesh of the file, with its texture for a textured
// mesh. A file that can't be opened ends the process with "path: system text" on standard
// error and status 1; a file that fails to parse ends it with a "path:line: error:" message.
Mesh loadMesh(const std::string& path);
