// Generated meshes for the benchmarks (terrains, leaf clusters, boxes) and a writer of the
// mesh file text, so that large maps can be made on the spot instead of being committed.
#pragma once

#include <string>

#include "scene/mesh.h"

// A rolling terrain of across x along vertices over [x0, x0 + width] x [z0, z0 + depth], two
// triangles per grid cell, per-vertex normals and per-corner uv coordinates (one texture repeat
// per 8 cells). Heights come from `seed` and stay within +-height. Not textured (caller decides).
Mesh terrainMesh(int across, int along, float x0, float z0, float width, float depth, float height,
                 unsigned seed);

// `faceCount` small triangles scattered in a sphere of `radius` around `centre`, each with its
// own three vertices and full uv coordinates, like the leaves of a tree.
Mesh leafMesh(int faceCount, Vec3 centre, float radius, unsigned seed);

// Sizes the two work arrays of the face sort, as the loader does.
void sizeWorkArrays(Mesh& mesh);

// Writes `mesh` as mesh file text: option 16 with the texture section when `textureName` is not
// empty, plus 64 when `emitsParticles`. Returns false when the file can't be written.
bool writeMeshFile(const std::string& path, const Mesh& mesh, const std::string& textureName,
                   bool emitsParticles = false);
