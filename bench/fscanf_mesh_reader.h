// The baseline of the mesh reading benchmark: the mesh file grammar read the plain way, one
// fscanf call per line, as formatted C input reads it.
#pragma once

#include <string>

#include "scene/mesh.h"

// Reads the mesh file at `path` into `mesh` (arrays sized from the counts) and the texture name
// into `textureName`. Returns false when the file can't be opened or a read does not match.
bool fscanfReadMesh(const std::string& path, Mesh& mesh, std::string& textureName);
