// The one pool of camera-facing textured particles that trails emitting objects.
#pragma once

#define MAX_PARTICLES 300

struct Particle {
    int active;        // 1: updated and drawn
    float life;        // remaining life, also the alpha
    float fade;        // ageing rate
    float size;        // half the side of the square
    float r, g, b;     // colour
    float position[3]; // world coordinates
    float velocity[3]; // per update: position += velocity / (slowdown * 1000)
    float gravity[3];  // added to velocity each update
};

struct ParticleSystem {
    Particle particles[MAX_PARTICLES];
    float slowdown;               // divides every velocity step
    unsigned int particleTexture; // 0 until loaded, and when loading failed
};

extern ParticleSystem particleSystem; // filled by the show start, updated by the frame
// True while the authoring mode holds the show: frames draw the particles without moving them
// (written by app/author only).
extern bool particlesHeld;

void loadParticleTexture(ParticleSystem& system);
void initParticles(ParticleSystem& system, float x, float y, float z, float vx, float vy, float vz,
                   float slowdown);
void updateParticles(ParticleSystem& system, float ex, float ey, float ez, float dx, float dy,
                     float dz, float cx, float cy, float cz);
void drawParticle(const Particle& particle, float cx, float cy, float cz);
