// Still meshes of one look merged into one. Import side. A scene that places one mesh on
// thousands of nodes (a forest of instances) would otherwise write a file per node and give the
// player a list of thousands of meshes; the vertices are baked in place already, so meshes that
// draw alike can share one file. Moving nodes keep a mesh each: each has its own path.
#include "import/mesh_merge.h"

#include <cstring>
#include <map>
#include <tuple>

namespace {

#define MERGED_VERTEX_LIMIT 16000000 // vertices of one merged mesh; a larger look starts another

// What makes two still meshes draw alike.
using LookKey = std::tuple<int, bool, bool, bool, std::string>;

LookKey keyOf(const ImportedMesh& m) {
    std::string color((const char*)m.mesh.color, sizeof m.mesh.color);
    return {m.picture, m.blended, m.opaqueMode, m.particles, color};
}

void append(MeshOut& into, const MeshOut& from) {
    int base = (int)(into.vertices.size() / 3);
    into.vertices.insert(into.vertices.end(), from.vertices.begin(), from.vertices.end());
    into.normals.insert(into.normals.end(), from.normals.begin(), from.normals.end());
    for (int corner : from.faces)
        into.faces.push_back(corner + base);
    into.faceUVs.insert(into.faceUVs.end(), from.faceUVs.begin(), from.faceUVs.end());
}

} // namespace

size_t mergeStillMeshes(ImportedScene& scene) {
    std::vector<ImportedMesh> kept;
    std::map<LookKey, size_t> open; // look -> index in `kept` of the mesh still taking more
    size_t merged = 0;
    for (ImportedMesh& m : scene.meshes) {
        if (m.moves) {
            kept.push_back(std::move(m));
            continue;
        }
        // A mesh with uv and one without cannot share the uv section.
        LookKey key = keyOf(m);
        std::get<4>(key) += m.mesh.faceUVs.empty() ? '-' : '+';
        auto found = open.find(key);
        if (found != open.end()) {
            MeshOut& into = kept[found->second].mesh;
            if (into.vertices.size() / 3 + m.mesh.vertices.size() / 3 <= MERGED_VERTEX_LIMIT) {
                append(into, m.mesh);
                merged++;
                continue;
            }
        }
        open[key] = kept.size();
        kept.push_back(std::move(m));
    }
    scene.meshes = std::move(kept);
    return merged;
}
