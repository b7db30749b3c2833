// Particle arithmetic without GL: seeding, one update step with rebirth, and the billboard axes.
#pragma once

#include "render/particles.h"

// Fills one particle as the pool's initialisation does: four rand() draws, fade then the
// velocity x, y, z (x centred on 32, the others on 30), placed at (x, y, z).
void seedParticle(Particle& particle, float x, float y, float z, float vx, float vy, float vz);

// Moves, accelerates, ages and grows a particle once; a particle whose life drops below zero is
// reborn at the emitter (ex, ey, ez) with the drift (dx, dy, dz) added to its random velocity.
void advanceParticle(Particle& particle, float slowdown, float ex, float ey, float ez, float dx,
                     float dy, float dz);

// Right and up axes of the square that faces the camera (cx, cy, cz) from `position`.
// Returns false, leaving the axes untouched, when the camera is straight above or below the
// particle or at it: the heading or the elevation is then undefined.
bool particleAxes(const float position[3], float cx, float cy, float cz, float right[3],
                  float up[3]);
