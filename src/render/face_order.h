// Ordering of a mesh's faces by horizontal distance from the camera, nearest first. Render side:
// the trees are drawn in this order.
#pragma once

#include "scene/mesh.h"

// Fills faceOrder and faceDistance exactly as the selection sort of the reference would,
// tie rule included, in O(n log n).
void sortFacesByCameraDistance(Mesh& mesh, const Vec3& eye);
