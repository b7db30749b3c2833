// The plain quadratic selection sort of a mesh's faces by horizontal camera distance: the
// behaviour the shipped ordering must reproduce exactly. Shared by the tests and the benchmark.
#pragma once

#include <cmath>
#include <utility>

#include "scene/mesh.h"

// Fills faceOrder and faceDistance from the first vertex of each face, then selection-sorts
// them: position i from the last down takes the first strictly largest value before it.
inline void referenceSortFaces(Mesh& mesh, const Vec3& eye) {
    const int n = mesh.faceCount;
    mesh.faceOrder.assign(n, 0);
    mesh.faceDistance.assign(n, 0.0f);
    for (int i = 0; i < n; i++) {
        const Vec3& v = mesh.vertices[mesh.faces[3 * i]];
        mesh.faceOrder[i] = i;
        mesh.faceDistance[i] = sqrtf((eye.x - v.x) * (eye.x - v.x) + (eye.z - v.z) * (eye.z - v.z));
    }
    for (int i = n - 1; i >= 0; i--) {
        int m = i;
        for (int j = 0; j < i; j++) {
            if (mesh.faceDistance[j] > mesh.faceDistance[m]) {
                m = j;
            }
        }
        std::swap(mesh.faceOrder[i], mesh.faceOrder[m]);
        std::swap(mesh.faceDistance[i], mesh.faceDistance[m]);
    }
}
