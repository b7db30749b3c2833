// Bit-equal vertices of a mesh joined in linear time (assimp's own step is far slower on
// scenes that store a vertex per face corner). Import side.
#pragma once

struct aiMesh;

// True when the mesh holds nothing the join would have to carry along (bones, morphs,
// tangents): then joinVertices applies.
bool canJoinVertices(const aiMesh& mesh);

// Joins the mesh's bit-equal vertices (position, normal, uv and colour sets all equal), new
// indices in order of first use; faces are renumbered.
void joinVertices(aiMesh& mesh);
