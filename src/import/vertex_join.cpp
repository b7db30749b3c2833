// Equal vertices of a mesh joined in one pass. Import side; runs in the reader's child on the
// scene assimp hands over. Formats that store a vertex per face corner (OBJ, STL, Collada,
// FBX) repeat each vertex about six times; assimp's own step joins them in O(n log n) with a
// large constant (1.2 s of a 2.6 s read for a million OBJ triangles). This one hashes the
// vertex's bytes into an open table: same result for bit-equal vertices, new indices in order
// of first use as assimp gives them.
#include "import/vertex_join.h"

#include <assimp/scene.h>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// The arrays one vertex is made of, for hashing and comparing.
struct Parts {
    std::vector<const char*> arrays;
    std::vector<size_t> sizes;
};

Parts partsOf(const aiMesh& m) {
    Parts p;
    auto add = [&](const void* array, size_t size) {
        if (array) {
            p.arrays.push_back((const char*)array);
            p.sizes.push_back(size);
        }
    };
    add(m.mVertices, sizeof(aiVector3D));
    add(m.mNormals, sizeof(aiVector3D));
    for (unsigned k = 0; k < AI_MAX_NUMBER_OF_TEXTURECOORDS; k++)
        add(m.mTextureCoords[k], sizeof(aiVector3D));
    for (unsigned k = 0; k < AI_MAX_NUMBER_OF_COLOR_SETS; k++)
        add(m.mColors[k], sizeof(aiColor4D));
    return p;
}

uint64_t hashOf(const Parts& p, unsigned v) {
    uint64_t h = 1469598103934665603ull;
    for (size_t a = 0; a < p.arrays.size(); a++) {
        const unsigned char* bytes = (const unsigned char*)p.arrays[a] + v * p.sizes[a];
        for (size_t i = 0; i < p.sizes[a]; i++)
            h = (h ^ bytes[i]) * 1099511628211ull;
    }
    return h ^ (h >> 29);
}

bool same(const Parts& p, unsigned a, unsigned b) {
    for (size_t k = 0; k < p.arrays.size(); k++) {
        if (std::memcmp(p.arrays[k] + a * p.sizes[k], p.arrays[k] + b * p.sizes[k], p.sizes[k]))
            return false;
    }
    return true;
}

template <typename T> void keep(T*& array, const std::vector<unsigned>& firsts) {
    if (!array)
        return;
    T* kept = new T[firsts.size()];
    for (size_t i = 0; i < firsts.size(); i++)
        kept[i] = array[firsts[i]];
    delete[] array;
    array = kept;
}

} // namespace

bool canJoinVertices(const aiMesh& m) {
    return m.mNumBones == 0 && m.mNumAnimMeshes == 0 && !m.mTangents && !m.mBitangents &&
           m.mVertices && m.mFaces;
}

void joinVertices(aiMesh& m) {
    unsigned count = m.mNumVertices;
    Parts parts = partsOf(m);
    size_t slots = 16;
    while (slots < 2 * (size_t)count)
        slots *= 2;
    const unsigned EMPTY = UINT32_MAX;
    std::vector<unsigned> table(slots, EMPTY), newIndex(count), firsts;
    for (unsigned v = 0; v < count; v++) {
        size_t slot = hashOf(parts, v) & (slots - 1);
        while (table[slot] != EMPTY && !same(parts, firsts[table[slot]], v))
            slot = (slot + 1) & (slots - 1);
        if (table[slot] == EMPTY) {
            table[slot] = (unsigned)firsts.size();
            firsts.push_back(v);
        }
        newIndex[v] = table[slot];
    }
    if (firsts.size() == count)
        return;
    for (unsigned f = 0; f < m.mNumFaces; f++) {
        aiFace& face = m.mFaces[f];
        for (unsigned k = 0; face.mIndices && k < face.mNumIndices; k++) {
            if (face.mIndices[k] < count)
                face.mIndices[k] = newIndex[face.mIndices[k]];
        }
    }
    keep(m.mVertices, firsts);
    keep(m.mNormals, firsts);
    for (unsigned k = 0; k < AI_MAX_NUMBER_OF_TEXTURECOORDS; k++)
        keep(m.mTextureCoords[k], firsts);
    for (unsigned k = 0; k < AI_MAX_NUMBER_OF_COLOR_SETS; k++)
        keep(m.mColors[k], firsts);
    m.mNumVertices = (unsigned)firsts.size();
}
