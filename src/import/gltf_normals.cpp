// Normals made for a glTF mesh that has none, as assimp's smooth normals step makes them, so a
// scene reads the same whichever reader took it. Import side.
#include <cmath>
#include <unordered_map>
#include <vector>

#include "import/gltf_build.h"

namespace {

struct Cell {
    int64_t x, y, z;
    bool operator==(const Cell& o) const {
        return x == o.x && y == o.y && z == o.z;
    }
};

struct CellHash {
    size_t operator()(const Cell& c) const {
        return (size_t)(c.x * 73856093 ^ c.y * 19349663 ^ c.z * 83492791);
    }
};

bool finite3(const aiVector3D& v) {
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

} // namespace

void smoothNormals(aiMesh& m) {
    unsigned count = m.mNumVertices;
    std::vector<aiVector3D> faceNormal(count); // the last face's, per vertex
    for (unsigned f = 0; f < m.mNumFaces; f++) {
        const unsigned* c = m.mFaces[f].mIndices;
        const aiVector3D &a = m.mVertices[c[0]], &b = m.mVertices[c[1]], &d = m.mVertices[c[2]];
        aiVector3D n = ((b - a) ^ (d - a)).NormalizeSafe();
        for (int k = 0; k < 3; k++)
            faceNormal[c[k]] = n;
    }
    aiVector3D low = m.mVertices[0], high = m.mVertices[0];
    for (unsigned v = 1; v < count; v++) {
        const aiVector3D& p = m.mVertices[v];
        low = aiVector3D(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
        high = aiVector3D(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
    float radius = (high - low).Length() * 1e-4f;
    m.mNormals = new aiVector3D[count]; // vertices with no neighbour (nor themselves) keep zero
    if (!(radius > 0) || !std::isfinite(radius))
        return;
    // Vertices by cells of the radius: a vertex's neighbours lie in the 27 cells around it.
    auto cellOf = [&](const aiVector3D& p) {
        return Cell{(int64_t)std::floor(p.x / radius), (int64_t)std::floor(p.y / radius),
                    (int64_t)std::floor(p.z / radius)};
    };
    std::unordered_map<Cell, std::vector<unsigned>, CellHash> cells;
    for (unsigned v = 0; v < count; v++)
        if (finite3(m.mVertices[v]))
            cells[cellOf(m.mVertices[v])].push_back(v);
    std::vector<char> had(count, 0);
    std::vector<unsigned> found;
    for (unsigned v = 0; v < count; v++) {
        const aiVector3D& p = m.mVertices[v];
        if (had[v] || !finite3(p))
            continue;
        found.clear();
        Cell c = cellOf(p);
        for (int64_t dx = -1; dx <= 1; dx++)
            for (int64_t dy = -1; dy <= 1; dy++)
                for (int64_t dz = -1; dz <= 1; dz++) {
                    auto near = cells.find(Cell{c.x + dx, c.y + dy, c.z + dz});
                    if (near == cells.end())
                        continue;
                    for (unsigned w : near->second)
                        if ((m.mVertices[w] - p).SquareLength() < radius * radius)
                            found.push_back(w);
                }
        aiVector3D sum;
        for (unsigned w : found)
            if (!std::isnan(faceNormal[w].x))
                sum += faceNormal[w];
        sum.NormalizeSafe();
        for (unsigned w : found)
            m.mNormals[w] = sum, had[w] = 1;
    }
}
