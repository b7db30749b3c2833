// Lamps' GL set-up: each lamp record becomes a point light of the fixed-function lighting.
// Render side.
#include "render/lamps_gl.h"

#include <GL/gl.h>

void setUpLampRecord(const Lamp& lamp) {
    static const float specular[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    setUpLamp(specular, lamp.position, lamp.colour, lamp.index);
}

void setUpLamp(const float specular[4], const float position[4], const float colour[4], int index) {
    GLenum light = (GLenum)(GL_LIGHT0 + index);
    glMaterialfv(GL_FRONT, GL_SPECULAR, specular);
    glMaterialf(GL_FRONT, GL_SHININESS, 20.0f);
    glLightfv(light, GL_POSITION, position);
    glLightfv(light, GL_DIFFUSE, colour);
    glLightfv(light, GL_SPECULAR, colour);
    glEnable(light);
}
