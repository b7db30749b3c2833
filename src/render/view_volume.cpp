// The view volume as six planes taken from the combined matrix.
#include "render/view_volume.h"

#include <GL/gl.h>

#include <cmath>

ViewVolume viewVolumeOf(const double m[16]) {
    // Row r of the column-major matrix is m[r], m[4 + r], m[8 + r], m[12 + r]. Inside the clip
    // volume -w <= x, y, z <= w, so each plane is row 3 plus or minus row 0, 1 or 2.
    ViewVolume volume;
    for (int axis = 0; axis < 3; axis++) {
        for (int side = 0; side < 2; side++) {
            const double sign = side == 0 ? 1.0 : -1.0;
            double* plane = volume.planes[2 * axis + side];
            for (int column = 0; column < 4; column++) {
                plane[column] = m[4 * column + 3] + sign * m[4 * column + axis];
            }
        }
    }
    return volume;
}

ViewVolume currentViewVolume() {
    float projection[16], modelview[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    double clip[16];
    for (int column = 0; column < 4; column++) {
        for (int row = 0; row < 4; row++) {
            double sum = 0;
            for (int k = 0; k < 4; k++) {
                sum += double(projection[4 * k + row]) * double(modelview[4 * column + k]);
            }
            clip[4 * column + row] = sum;
        }
    }
    return viewVolumeOf(clip);
}

bool boxMayBeInView(const ViewVolume& volume, const Box3& box) {
    if (box.low.x > box.high.x || box.low.y > box.high.y || box.low.z > box.high.z) {
        return false; // no vertices
    }
    const double low[3] = {box.low.x, box.low.y, box.low.z};
    const double high[3] = {box.high.x, box.high.y, box.high.z};
    for (const double* plane : volume.planes) {
        // The corner farthest along the plane's normal, and the size of the terms, for the margin.
        double best = plane[3], size = std::fabs(plane[3]);
        for (int i = 0; i < 3; i++) {
            best += plane[i] * (plane[i] > 0 ? high[i] : low[i]);
            size += std::fabs(plane[i]) * std::fmax(std::fabs(low[i]), std::fabs(high[i]));
        }
        // The driver transforms in single precision: a margin far above its rounding.
        if (best < -1e-4 * size) {
            return false;
        }
    }
    return true;
}
