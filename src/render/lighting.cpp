// Lighting save and restore: glIsEnabled, then glDisable only when lighting was on. Render side.
#include "render/lighting.h"

#include <GL/gl.h>

bool suspendLighting() {
    const bool lit = glIsEnabled(GL_LIGHTING);
    if (lit) {
        glDisable(GL_LIGHTING);
    }
    return lit;
}

void resumeLighting(bool wasLit) {
    if (wasLit) {
        glEnable(GL_LIGHTING);
    }
}
