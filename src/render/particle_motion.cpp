// Particle arithmetic without GL: seeding, one update step with rebirth, and the billboard axes.
#include "render/particle_motion.h"

#include <cmath>
#include <cstdlib>

// Draws are made one statement at a time so their order (fade, x, y, z) is fixed.
void seedParticle(Particle& particle, float x, float y, float z, float vx, float vy, float vz) {
    particle.active = 1;
    particle.life = 0.1f;
    particle.fade = (rand() % 100) / 1000.0 + 0.803;
    particle.r = 0.9f;
    particle.g = 0.9f;
    particle.b = 0.9f;
    particle.velocity[0] = (rand() % 60) - 32.0 + vx;
    particle.velocity[1] = (rand() % 60) - 30.0 + vy;
    particle.velocity[2] = (rand() % 60) - 30.0 + vz;
    particle.gravity[0] = 0.0f;
    particle.gravity[1] = 0.0f;
    particle.gravity[2] = 0.0f;
    particle.position[0] = x;
    particle.position[1] = y;
    particle.position[2] = z;
    particle.size = 0.1f;
}

// The sums are made in double on the stored floats and stored back as floats.
void advanceParticle(Particle& particle, float slowdown, float ex, float ey, float ez, float dx,
                     float dy, float dz) {
    for (int k = 0; k < 3; k++) {
        particle.position[k] += particle.velocity[k] / (slowdown * 1000.0);
    }
    for (int k = 0; k < 3; k++) {
        particle.velocity[k] += particle.gravity[k];
    }
    particle.life -= particle.fade + particle.fade;
    particle.size = particle.fade + 0.04 + particle.size;
    if (particle.life < 0.0f) {
        particle.life = 1.0f;
        particle.fade = (rand() % 100) / 1000.0 + 0.003;
        particle.position[0] = ex;
        particle.position[1] = ey;
        particle.position[2] = ez;
        particle.velocity[0] = (rand() % 60) - 30.0 + dx;
        particle.velocity[1] = (rand() % 60) - 30.0 + dy;
        particle.velocity[2] = (rand() % 60) - 30.0 + dz;
        particle.size = 0.1f;
    }
}

// Heading in the horizontal plane, then elevation: a spherical billboard.
bool particleAxes(const float position[3], float cx, float cy, float cz, float right[3],
                  float up[3]) {
    const float a = cx - position[0];
    const float b = cy - position[1];
    const float c = cz - position[2];
    const float h = std::sqrt(a * a + c * c);
    const float d = std::sqrt(a * a + b * b + c * c);
    if (!(h > 0.0f) || !(d > 0.0f) || !std::isfinite(h) || !std::isfinite(d)) {
        return false;
    }
    const float sinTheta = a / h;
    const float cosTheta = c / h;
    const float cosPhi = h / d;
    const float sinPhi = b / d;
    right[0] = cosTheta;
    right[1] = 0.0f;
    right[2] = -sinTheta;
    up[0] = -sinPhi * sinTheta;
    up[1] = cosPhi;
    up[2] = -sinPhi * cosTheta;
    return true;
}
