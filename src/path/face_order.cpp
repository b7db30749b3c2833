// Ordering of a mesh's faces by horizontal distance from the camera, nearest first. The result
// is the one a plain selection sort gives (its tie rule and its handling of NaN included), found
// in O(n log n) by replaying that sort's swaps with a tournament tree over the unsorted positions.
#include "path/face_order.h"

#include <cmath>
#include <utility>

//----------------------------------------------------------------------------------
// Types and work storage
//----------------------------------------------------------------------------------

// A tournament-tree node: the winning position below it and its distance. An empty node holds
// -infinity, which every distance beats: distances are square roots, and NaN stays out.
struct SortNode {
    float value; // distance held at `index`
    int index;   // position in faceDistance, -1 for no candidate
};

static const SortNode EMPTY_NODE = {-INFINITY, -1};

// Kept between calls so the trees' per-frame sorts do not reallocate; one caller at a time.
static std::vector<SortNode> sortTree;

//----------------------------------------------------------------------------------
// Local helpers
//----------------------------------------------------------------------------------

// The result of the match at node k: the larger child, the left one (lower positions) on a tie.
static SortNode matchResult(int k) {
    const SortNode& left = sortTree[2 * k];
    const SortNode& right = sortTree[2 * k + 1];
    return right.value > left.value ? right : left;
}

// Sets one leaf (position) of the tree of `leafBase` leaves and replays the matches above it,
// stopping at the first match whose result does not change.
static void setLeaf(int leafBase, int position, SortNode node) {
    int k = leafBase + position;
    sortTree[k] = node;
    for (k >>= 1; k >= 1; k >>= 1) {
        const SortNode result = matchResult(k);
        if (result.index == sortTree[k].index && result.value == sortTree[k].value) {
            break;
        }
        sortTree[k] = result;
    }
}

// A leaf for a position: NaN never wins a strict comparison, so it never takes part.
static SortNode leafFor(const std::vector<float>& distance, int position) {
    if (std::isnan(distance[position])) {
        return EMPTY_NODE;
    }
    return SortNode{distance[position], position};
}

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

//----------------------------------------------------------------------------------
// Face ordering
//----------------------------------------------------------------------------------

// Rewrites faceOrder and faceDistance for faceCount faces, nearest first. For each position i
// from the last down, the selection sort swaps in the lowest position before i holding the
// largest value when that value is strictly greater than the one at i; the tree finds it.
void sortFacesByCameraDistance(Mesh& mesh, const Vec3& eye) {
    const int count = mesh.faceCount > 0 ? mesh.faceCount : 0;
    std::vector<int>& order = mesh.faceOrder;
    std::vector<float>& distance = mesh.faceDistance;
    order.resize(count);
    distance.resize(count);
    for (int i = 0; i < count; i++) {
        order[i] = i;
        distance[i] = faceDistanceFrom(mesh, i, eye);
    }
    if (count < 2) {
        return;
    }

    int leafBase = 1;
    while (leafBase < count) {
        leafBase <<= 1;
    }
    sortTree.resize(2 * static_cast<size_t>(leafBase));
    for (int p = 0; p < leafBase; p++) {
        sortTree[leafBase + p] = p < count ? leafFor(distance, p) : EMPTY_NODE;
    }
    for (int k = leafBase - 1; k >= 1; k--) {
        sortTree[k] = matchResult(k);
    }

    for (int i = count - 1; i >= 1; i--) {
        setLeaf(leafBase, i, EMPTY_NODE); // the tree now holds positions 0 .. i-1
        const SortNode best = sortTree[1];
        // Nothing compares greater than a NaN at i, so such a value stays where it is.
        if (best.value > distance[i]) {
            const int m = best.index;
            std::swap(distance[i], distance[m]);
            std::swap(order[i], order[m]);
            setLeaf(leafBase, m, leafFor(distance, m));
        }
    }
}
