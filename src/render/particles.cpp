// The particle pool: its texture, its initialisation and the per-frame draw-and-advance pass.
#include "render/lighting.h"
#include "render/particles.h"

#include "base/show_files.h"

#include <GL/gl.h>

#include "render/particle_motion.h"
#include "render/texture.h"

ParticleSystem particleSystem;
bool particlesHeld = false;

static const char* const PARTICLE_PICTURE = SHOW_PARTICLE_PICTURE;

// Loads the sprite with an image name of its own; on failure the texture stays 0.
void loadParticleTexture(ParticleSystem& system) {
    bindNewImage();
    const unsigned int texture = loadPictureOrReport(PARTICLE_PICTURE);
    if (texture == 0) {
        return;
    }
    system.particleTexture = texture;
}

// Stores the slowdown, loads the sprite and seeds the 300 particles in index order.
void initParticles(ParticleSystem& system, float x, float y, float z, float vx, float vy, float vz,
                   float slowdown) {
    system.slowdown = slowdown;
    loadParticleTexture(system);
    for (Particle& particle : system.particles) {
        seedParticle(particle, x, y, z, vx, vy, vz);
    }
}

// Draws each active particle where it is, then advances it; unlit, without depth writes.
void updateParticles(ParticleSystem& system, float ex, float ey, float ez, float dx, float dy,
                     float dz, float cx, float cy, float cz) {
    const bool lit = suspendLighting();
    glDepthMask(GL_FALSE);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, system.particleTexture);
    for (Particle& particle : system.particles) {
        if (particle.active == 0) {
            continue;
        }
        drawParticle(particle, cx, cy, cz);
        if (particlesHeld) {
            continue;
        }
        advanceParticle(particle, system.slowdown, ex, ey, ez, dx, dy, dz);
    }
    glDisable(GL_TEXTURE_2D);
    glDepthMask(GL_TRUE);
    resumeLighting(lit);
}

// One camera-facing square in the particle's colour with its life as alpha, then white again.
// A particle with no defined facing (camera above, below or at it) is not drawn.
void drawParticle(const Particle& particle, float cx, float cy, float cz) {
    float right[3];
    float up[3];
    if (!particleAxes(particle.position, cx, cy, cz, right, up)) {
        return;
    }
    const float* p = particle.position;
    const float s = particle.size;
    glColor4f(particle.r, particle.g, particle.b, particle.life);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(1, 1);
    glVertex3f(p[0] + s * right[0] + s * up[0], p[1] + s * right[1] + s * up[1],
               p[2] + s * right[2] + s * up[2]);
    glTexCoord2f(0, 1);
    glVertex3f(p[0] - s * right[0] + s * up[0], p[1] - s * right[1] + s * up[1],
               p[2] - s * right[2] + s * up[2]);
    glTexCoord2f(1, 0);
    glVertex3f(p[0] + s * right[0] - s * up[0], p[1] + s * right[1] - s * up[1],
               p[2] + s * right[2] - s * up[2]);
    glTexCoord2f(0, 0);
    glVertex3f(p[0] - s * right[0] - s * up[0], p[1] - s * right[1] - s * up[1],
               p[2] - s * right[2] - s * up[2]);
    glEnd();
    // Four components: after a batch of four-component colours, Mesa's glColor3f keeps the alpha.
    glColor4f(1, 1, 1, 1);
}
