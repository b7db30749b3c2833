// Vec3: three single-precision floats, world units for positions.
#pragma once

struct Vec3 {
    float x; // world units, to the right
    float y; // world units, up
    float z; // world units, towards the viewer
};
