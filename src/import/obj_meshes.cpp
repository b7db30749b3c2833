// The meshes of an OBJ scene. Import side. A quad is cut from its concave corner as assimp's
// triangulation cuts it, larger faces are fanned from their first corner. Corners are joined by
// index triple in an open hash table that grows with the mesh. A mesh without normals in the
// file gets assimp's smooth normals: each face corner carries the unit normal of the last
// triangle cut from its face, and every vertex at one position gets the sum of its corners'.
#include "import/obj_meshes.h"

#include <assimp/scene.h>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "import/vertex_join.h"

namespace {

const unsigned EMPTY = ~0u;

uint64_t mix(uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    return h ^ (h >> 33);
}

size_t hashOf(const ObjCorner& c) {
    return mix((uint32_t)c.v * 0x9E3779B97F4A7C15ull + (uint32_t)c.vt * 0xC2B2AE3D27D4EB4Full +
               (uint32_t)c.vn);
}

void grow(ObjPart& part) {
    size_t size = part.table.empty() ? 1024 : 2 * part.table.size();
    part.table.assign(size, EMPTY);
    for (unsigned i = 0; i < part.vertices.size(); i++) {
        size_t slot = hashOf(part.vertices[i]) & (size - 1);
        while (part.table[slot] != EMPTY)
            slot = (slot + 1) & (size - 1);
        part.table[slot] = i;
    }
}

unsigned lookUp(ObjPart& part, const ObjCorner& c) {
    if (2 * (part.vertices.size() + 1) > part.table.size())
        grow(part);
    size_t mask = part.table.size() - 1, slot = hashOf(c) & mask;
    for (;; slot = (slot + 1) & mask) {
        unsigned k = part.table[slot];
        if (k == EMPTY) {
            part.table[slot] = (unsigned)part.vertices.size();
            part.vertices.push_back(c);
            return part.table[slot];
        }
        const ObjCorner& o = part.vertices[k];
        if (o.v == c.v && o.vt == c.vt && o.vn == c.vn)
            return k;
    }
}

// The vertex of a corner: most corners repeat the last one of their position, looked up
// directly; the others go through the hash table.
unsigned join(ObjPart& part, const ObjCorner& c, std::vector<uint64_t>& recent) {
    if ((size_t)c.v >= recent.size())
        recent.resize((size_t)c.v + 1, ~0ull);
    uint64_t seen = recent[c.v];
    if (seen >> 32 == part.id) {
        const ObjCorner& o = part.vertices[(unsigned)seen];
        if (o.vt == c.vt && o.vn == c.vn)
            return (unsigned)seen;
    }
    unsigned k = lookUp(part, c);
    recent[c.v] = (uint64_t)part.id << 32 | k;
    return k;
}

// The corner a quad is cut from: its concave one, if any (assimp's test, in floats as there).
unsigned quadStart(const std::vector<ObjCorner>& q, const ObjLists& lists) {
    const std::vector<aiVector3D>& p = lists.positions;
    for (unsigned i = 0; i < 4; i++) {
        const aiVector3D& v = p[q[i].v];
        aiVector3D left = p[q[(i + 3) % 4].v] - v, diag = p[q[(i + 2) % 4].v] - v,
                   right = p[q[(i + 1) % 4].v] - v;
        left.Normalize();
        diag.Normalize();
        right.Normalize();
        float angle = std::acos(left * diag) + std::acos(right * diag);
        if (angle > (float)AI_MATH_PI)
            return i;
    }
    return 0;
}

void addTriangle(ObjPart& part, const ObjCorner& a, const ObjCorner& b, const ObjCorner& c,
                 bool last, std::vector<uint64_t>& recent) {
    unsigned ia = join(part, a, recent), ib = join(part, b, recent), ic = join(part, c, recent);
    part.triangles.insert(part.triangles.end(), {ia, ib, ic});
    part.lastOfPolygon.push_back(last);
}

aiVector3D normalizedSafe(aiVector3D v) {
    float length = v.Length();
    return length > 0 ? v / length : v;
}

// Smooth normals as assimp's GenSmoothNormals gives them: vertex by vertex in order, each one
// not yet given a normal gives the sum of the corner normals of every vertex closer to it than
// 1e-4 of the mesh's size to all of them. Positions go into cells of that size, sorted.
void smoothNormals(aiMesh& m, const ObjPart& part) {
    unsigned count = m.mNumVertices;
    const aiVector3D* p = m.mVertices;
    std::vector<aiVector3D> sums(count);
    for (size_t t = 0; t < part.lastOfPolygon.size(); t++) {
        const unsigned* c = &part.triangles[3 * t];
        aiVector3D n = normalizedSafe((p[c[1]] - p[c[0]]) ^ (p[c[2]] - p[c[0]]));
        sums[c[1]] += n;
        if (part.lastOfPolygon[t]) {
            sums[c[0]] += n;
            sums[c[2]] += n;
        }
    }
    aiVector3D low = p[0], high = p[0];
    for (unsigned i = 1; i < count; i++) {
        low = aiVector3D(std::min(low.x, p[i].x), std::min(low.y, p[i].y), std::min(low.z, p[i].z));
        high = aiVector3D(std::max(high.x, p[i].x), std::max(high.y, p[i].y),
                          std::max(high.z, p[i].z));
    }
    float radius = (high - low).Length() * 1e-4f;
    bool cells = std::isfinite(radius) && radius > 0; // else only equal positions are one
    auto cellOf = [&](const aiVector3D& v, int dx, int dy, int dz) -> uint64_t {
        if (!cells)
            return 0;
        uint64_t x = (uint64_t)((v.x - low.x) / radius) + 1 + dx,
                 y = (uint64_t)((v.y - low.y) / radius) + 1 + dy,
                 z = (uint64_t)((v.z - low.z) / radius) + 1 + dz;
        return x << 42 | y << 21 | z; // at most 10^4 + 2 cells a side
    };
    std::vector<std::pair<uint64_t, unsigned>> sorted(count);
    for (unsigned i = 0; i < count; i++)
        sorted[i] = {cellOf(p[i], 0, 0, 0), i};
    std::sort(sorted.begin(), sorted.end());
    m.mNormals = new aiVector3D[count];
    std::vector<char> done(count);
    std::vector<unsigned> found;
    for (unsigned i = 0; i < count; i++) {
        if (done[i])
            continue;
        found.clear();
        aiVector3D sum;
        for (int d = 0; d < 27; d++) {
            if (!cells && d != 13)
                continue;
            uint64_t key = cellOf(p[i], d % 3 - 1, d / 3 % 3 - 1, d / 9 - 1);
            auto at = std::lower_bound(sorted.begin(), sorted.end(), std::make_pair(key, 0u));
            for (; at != sorted.end() && at->first == key; ++at) {
                const aiVector3D& q = p[at->second];
                if (cells ? (q - p[i]).SquareLength() < radius * radius : q == p[i]) {
                    found.push_back(at->second);
                    sum += sums[at->second];
                }
            }
        }
        sum = normalizedSafe(sum);
        for (unsigned j : found) {
            m.mNormals[j] = sum;
            done[j] = 1;
        }
    }
}

// A mesh standing for the points or lines of a part, as assimp's reader keeps them: the
// converter leaves it out and says so as before. A cloud of bare positions has no face at all.
aiMesh* looseMesh(const std::string& name, unsigned material, unsigned kind) {
    aiMesh* m = new aiMesh;
    m->mName = aiString(name);
    m->mMaterialIndex = material == ~0u ? 0 : material;
    m->mPrimitiveTypes = kind == OBJ_LINES ? aiPrimitiveType_LINE : aiPrimitiveType_POINT;
    m->mNumVertices = 1;
    m->mVertices = new aiVector3D[1];
    if (kind) {
        m->mNumFaces = 1;
        m->mFaces = new aiFace[1];
        m->mFaces[0].mNumIndices = kind == OBJ_LINES ? 2 : 1;
        m->mFaces[0].mIndices = new unsigned[2]{0, 0};
    }
    return m;
}

} // namespace

void addPolygon(ObjPart& part, const std::vector<ObjCorner>& polygon, ObjLists& lists) {
    size_t n = polygon.size();
    if (n == 4) {
        unsigned s = quadStart(polygon, lists);
        const ObjCorner *a = &polygon[s], *b = &polygon[(s + 1) % 4], *c = &polygon[(s + 2) % 4];
        addTriangle(part, *a, *b, *c, false, lists.recent);
        addTriangle(part, *a, *c, polygon[(s + 3) % 4], true, lists.recent);
        return;
    }
    for (size_t k = 1; k + 1 < n; k++)
        addTriangle(part, polygon[0], polygon[k], polygon[k + 1], k + 2 == n, lists.recent);
}

void finishPart(ObjPart& part) {
    std::vector<unsigned>().swap(part.table);
}

aiMesh* makeMesh(const ObjPart& part, const ObjLists& lists) {
    aiMesh* m = new aiMesh;
    m->mName = aiString(part.name);
    m->mMaterialIndex = part.material == ~0u ? 0 : part.material;
    m->mPrimitiveTypes = aiPrimitiveType_TRIANGLE;
    unsigned count = (unsigned)part.vertices.size();
    m->mNumVertices = count;
    m->mVertices = new aiVector3D[count];
    if (part.hasNormals)
        m->mNormals = new aiVector3D[count];
    if (part.hasUV) {
        m->mTextureCoords[0] = new aiVector3D[count];
        m->mNumUVComponents[0] = 2;
    }
    for (unsigned i = 0; i < count; i++) {
        const ObjCorner& c = part.vertices[i];
        m->mVertices[i] = lists.positions[c.v];
        if (part.hasNormals && c.vn >= 0)
            m->mNormals[i] = lists.normals[c.vn];
        if (part.hasUV && c.vt >= 0)
            m->mTextureCoords[0][i] = aiVector3D(lists.uvs[c.vt].x, lists.uvs[c.vt].y, 0);
    }
    m->mNumFaces = (unsigned)part.lastOfPolygon.size();
    m->mFaces = new aiFace[m->mNumFaces];
    for (unsigned f = 0; f < m->mNumFaces; f++) {
        m->mFaces[f].mNumIndices = 3;
        m->mFaces[f].mIndices = new unsigned[3];
        std::memcpy(m->mFaces[f].mIndices, &part.triangles[3 * (size_t)f], 3 * sizeof(unsigned));
    }
    if (!part.hasNormals) { // equal positions and uv are equal vertices now, as assimp joins them
        smoothNormals(*m, part);
        joinVertices(*m);
    }
    return m;
}

aiScene* makeScene(const std::string& file, const std::vector<ObjObject>& objects,
                   std::vector<ObjPart>& parts, const ObjLists& lists) {
    aiScene* scene = new aiScene;
    size_t slash = file.find_last_of("/\\");
    scene->mRootNode = new aiNode(slash == std::string::npos ? file : file.substr(slash + 1));
    aiNode* root = scene->mRootNode;
    std::vector<aiMesh*> meshes;
    if (!objects.empty())
        root->mChildren = new aiNode*[objects.size()];
    for (const ObjObject& object : objects) {
        aiNode* node = new aiNode(object.name);
        node->mParent = root;
        root->mChildren[root->mNumChildren++] = node;
        std::vector<unsigned> kept;
        for (unsigned index : object.parts) {
            ObjPart& part = parts[index];
            for (unsigned kind : {OBJ_POINTS, OBJ_LINES}) {
                if (part.loose & kind) {
                    kept.push_back((unsigned)meshes.size());
                    meshes.push_back(looseMesh(part.name, part.material, kind));
                }
            }
            if (part.triangles.empty())
                continue;
            kept.push_back((unsigned)meshes.size());
            meshes.push_back(makeMesh(part, lists));
            part = ObjPart(); // its memory back before the next is made
        }
        if (!kept.empty()) {
            node->mNumMeshes = (unsigned)kept.size();
            node->mMeshes = new unsigned[kept.size()];
            std::copy(kept.begin(), kept.end(), node->mMeshes);
        }
    }
    if (objects.empty() && !lists.positions.empty()) { // bare positions: a cloud on the root
        root->mNumMeshes = 1;
        root->mMeshes = new unsigned[1]{0};
        meshes.push_back(looseMesh("", 0, 0));
    }
    if (!meshes.empty()) {
        scene->mNumMeshes = (unsigned)meshes.size();
        scene->mMeshes = new aiMesh*[meshes.size()];
        std::copy(meshes.begin(), meshes.end(), scene->mMeshes);
    }
    return scene;
}
