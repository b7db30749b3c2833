// Ordering of a mesh's faces by horizontal distance from the camera, nearest first. The result
// is the one a plain selection sort gives (its tie rule and its handling of NaN included), found
// in O(n log n) by replaying that sort group of equal distances by group.
#include "render/face_order.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

//----------------------------------------------------------------------------------
// Work storage, kept between calls so the trees' per-frame sorts do not reallocate
//----------------------------------------------------------------------------------
static std::vector<uint64_t> sortKeys;   // distance bits above, face index below
static std::vector<uint64_t> sortSpare;  // the radix sort's other buffer
static std::vector<int> facePosition;    // face -> its current position
static std::vector<int> faceAtPosition;  // position -> the face held there
static std::vector<int> groupPositions;  // current positions of one group of equal distances
static std::vector<float> faceDistances; // face -> its distance

//----------------------------------------------------------------------------------
// Local helpers
//----------------------------------------------------------------------------------

// Horizontal distance from the eye to the face's first vertex; 0 when the face's data is
// missing or names a vertex that does not exist, so a damaged mesh still sorts safely.
static float faceDistanceFrom(const Mesh& mesh, int face, const Vec3& eye) {
    const size_t slot = static_cast<size_t>(face) * 3;
    if (slot >= mesh.faces.size()) {
        return 0.0f;
    }
    const int vertex = mesh.faces[slot];
    if (vertex < 0 || static_cast<size_t>(vertex) >= mesh.vertices.size()) {
        return 0.0f;
    }
    const Vec3& v = mesh.vertices[vertex];
    const float dx = eye.x - v.x;
    const float dz = eye.z - v.z;
    return sqrtf(dx * dx + dz * dz);
}

// Distances are square roots: never negative, so their bits order them as unsigned integers.
static uint32_t distanceBits(float distance) {
    uint32_t bits;
    memcpy(&bits, &distance, sizeof bits);
    return bits;
}

// Stable LSD radix sort of the keys by their upper 32 bits, in three passes of 11 bits.
static void radixSortByDistance(std::vector<uint64_t>& keys) {
    sortSpare.resize(keys.size());
    uint64_t* from = keys.data();
    uint64_t* to = sortSpare.data();
    for (int shift = 32; shift < 64; shift += 11) {
        size_t counts[2048] = {0};
        for (size_t k = 0; k < keys.size(); k++) {
            counts[(from[k] >> shift) & 2047]++;
        }
        size_t total = 0;
        for (size_t& count : counts) {
            const size_t c = count;
            count = total;
            total += c;
        }
        for (size_t k = 0; k < keys.size(); k++) {
            to[counts[(from[k] >> shift) & 2047]++] = from[k];
        }
        std::swap(from, to);
    }
    if (from != keys.data()) {
        memcpy(keys.data(), from, keys.size() * sizeof(uint64_t));
    }
}

//----------------------------------------------------------------------------------
// Face ordering
//----------------------------------------------------------------------------------

// The selection sort, for each position i from the last down, swaps in the lowest position
// before i holding the largest value when that value is strictly greater than the one at i.
// So the largest distance's faces leave their positions lowest first for the tail, the tail's
// faces drop into the holes they leave, and a face of that distance already at the tail stays.
// Each group of equal distances is replayed that way, largest first; NaN is never greater than
// anything, so a NaN at the tail stays there and NaN elsewhere is never picked.
void sortFacesByCameraDistance(Mesh& mesh, const Vec3& eye) {
    const int count = mesh.faceCount > 0 ? mesh.faceCount : 0;
    std::vector<int>& order = mesh.faceOrder;
    std::vector<float>& distance = mesh.faceDistance;
    order.resize(count);
    distance.resize(count);
    faceDistances.resize(count);
    facePosition.resize(count);
    faceAtPosition.resize(count);
    sortKeys.clear();
    for (int face = 0; face < count; face++) {
        const float d = faceDistanceFrom(mesh, face, eye);
        faceDistances[face] = d;
        facePosition[face] = face;
        faceAtPosition[face] = face;
        if (!std::isnan(d)) {
            sortKeys.push_back((static_cast<uint64_t>(distanceBits(d)) << 32) | (uint32_t)face);
        }
    }
    radixSortByDistance(sortKeys);

    int tail = count - 1;
    size_t groupEnd = sortKeys.size();
    while (groupEnd > 0) {
        const uint64_t bits = sortKeys[groupEnd - 1] >> 32;
        size_t groupStart = groupEnd - 1;
        while (groupStart > 0 && (sortKeys[groupStart - 1] >> 32) == bits) {
            groupStart--;
        }
        groupPositions.clear();
        for (size_t k = groupStart; k < groupEnd; k++) {
            groupPositions.push_back(facePosition[(uint32_t)sortKeys[k]]);
        }
        if (!std::is_sorted(groupPositions.begin(), groupPositions.end())) {
            std::sort(groupPositions.begin(), groupPositions.end());
        }
        int low = 0;
        int high = (int)groupPositions.size() - 1;
        while (low <= high) {
            if (std::isnan(faceDistances[faceAtPosition[tail]])) {
                tail--;
                continue;
            }
            if (groupPositions[high] == tail) {
                high--;
            } else {
                const int hole = groupPositions[low++];
                const int tailFace = faceAtPosition[tail];
                const int groupFace = faceAtPosition[hole];
                faceAtPosition[hole] = tailFace;
                facePosition[tailFace] = hole;
                faceAtPosition[tail] = groupFace;
                facePosition[groupFace] = tail;
            }
            tail--;
        }
        groupEnd = groupStart;
    }

    for (int position = 0; position < count; position++) {
        order[position] = faceAtPosition[position];
        distance[position] = faceDistances[faceAtPosition[position]];
    }
}
