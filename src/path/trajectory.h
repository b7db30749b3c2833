// Trajectory: control points of a path read from a ".dpl" file, its playback state and the
// evaluated tracks. Points are a singly linked list; a looping path closes it into a ring.
#pragma once

#include <string>

#include "base/vec3.h"

struct TrajectoryPoint {
    Vec3 position;         // track 1: the path itself
    Vec3 target;           // track 2 (curves >= 2)
    Vec3 up;               // track 3 as an offset from position (curves >= 3)
    TrajectoryPoint* next; // following point; null after the last, or the first in a ring
};

struct Trajectory {
    TrajectoryPoint* firstPoint = nullptr;   // head of the list; null for a file that was missing
    float t = 0.0f;                          // parameter inside the current segment
    TrajectoryPoint* currentPoint = nullptr; // first of the segment's four points
    int curves = 0;                          // tracks per point (CURVES)
    int loop = 0;                            // LOOP: exactly 1 closes the ring
    float start = 0.0f;                      // START, stored only
    float speed = 0.0f;                      // SPEED, stored only
    int positions = 0;                       // POSITIONS: number of control points
    Vec3 position = {0, 0, 0};               // evaluated track 1
    Vec3 target = {0, 0, 0};                 // evaluated track 2
    Vec3 up = {0, 1, 0};                     // evaluated track 3 (offset)
};
