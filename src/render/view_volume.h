// The view volume of the current projection and modelview matrices, and whether a box may show.
#pragma once

#include "scene/mesh.h"

// The six clip planes in object coordinates: a point p is inside when a*x + b*y + c*z + d >= 0
// for every plane.
struct ViewVolume {
    double planes[6][4];
};

// The volume of the matrices current now (GL_PROJECTION times GL_MODELVIEW).
ViewVolume currentViewVolume();

// The volume of one combined column-major matrix, as OpenGL keeps it.
ViewVolume viewVolumeOf(const double clip[16]);

// False only when the whole box lies outside one plane, so that nothing in it can be drawn; a
// box too near a plane for the rounding of the transform to decide counts as inside.
bool boxMayBeInView(const ViewVolume& volume, const Box3& box);
