// The sky box: six pictures loaded into textures once, drawn as the inner sides of a box.
#include "render/lighting.h"
#include "render/skybox.h"

#include "base/show_files.h"

#define ILUT_USE_OPENGL
#include <GL/gl.h>
#include <IL/il.h>
#include <IL/ilut.h>

#include "render/texture.h"

unsigned int skyTextures[6] = {0, 0, 0, 0, 0, 0};

static const char* const SKY_PICTURES[SHOW_SKY_SIDES] = SHOW_SKY_PICTURES;

// Loads the six sides with one image name, deleted afterwards. A side whose picture fails is
// reported and keeps texture 0, which gets no parameters.
void loadSkyBox() {
    ilEnable(IL_CONV_PAL);
    ilutEnable(ILUT_OPENGL_CONV);
    ILuint image = bindNewImage();
    for (int slot = 0; slot < 6; slot++) {
        ilutRenderer(ILUT_OPENGL);
        skyTextures[slot] = loadPictureOrReport(SKY_PICTURES[slot]);
    }
    ilDeleteImages(1, &image);
    for (unsigned int texture : skyTextures) {
        if (texture == 0) {
            continue;
        }
        glBindTexture(GL_TEXTURE_2D, texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        // Clamped to the edge texels: plain GL_CLAMP filters the box's edges with the black
        // border colour and draws a dark seam along every edge of the sky.
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    }
}

// One corner of a side: texture coordinate first, then the position.
static void skyCorner(float s, float t, float x, float y, float z) {
    glTexCoord2f(s, t);
    glVertex3f(x, y, z);
}

// Draws the box centred on (x, y, z), unlit and without depth test; the caller enables
// texturing around the call. Leaves the depth test on and lighting as it was.
void drawSkyBox(float x, float y, float z, float width, float height, float length) {
    const float x0 = x - width / 2;
    const float y0 = y - height / 2;
    const float z0 = z - length / 2;
    const float x1 = x0 + width;
    const float y1 = y0 + height;
    const float z1 = z0 + length;
    const bool lit = suspendLighting();
    glDisable(GL_DEPTH_TEST);

    glBindTexture(GL_TEXTURE_2D, skyTextures[0]); // back, z = z0
    glBegin(GL_TRIANGLE_STRIP);
    skyCorner(0, 0, x0, y0, z0);
    skyCorner(0, 1, x0, y1, z0);
    skyCorner(1, 0, x1, y0, z0);
    skyCorner(1, 1, x1, y1, z0);
    glEnd();

    glBindTexture(GL_TEXTURE_2D, skyTextures[1]); // front, z = z1
    glBegin(GL_TRIANGLE_STRIP);
    skyCorner(1, 0, x0, y0, z1);
    skyCorner(1, 1, x0, y1, z1);
    skyCorner(0, 0, x1, y0, z1);
    skyCorner(0, 1, x1, y1, z1);
    glEnd();

    glBindTexture(GL_TEXTURE_2D, skyTextures[2]); // bottom, y = y0
    glBegin(GL_TRIANGLE_STRIP);
    skyCorner(1, 0, x0, y0, z0);
    skyCorner(1, 1, x0, y0, z1);
    skyCorner(0, 0, x1, y0, z0);
    skyCorner(0, 1, x1, y0, z1);
    glEnd();

    glBindTexture(GL_TEXTURE_2D, skyTextures[3]); // top, y = y1
    glBegin(GL_TRIANGLE_STRIP);
    skyCorner(1, 1, x0, y1, z0);
    skyCorner(0, 1, x1, y1, z0);
    skyCorner(1, 0, x0, y1, z1);
    skyCorner(0, 0, x1, y1, z1);
    glEnd();

    glBindTexture(GL_TEXTURE_2D, skyTextures[5]); // "right" picture on the smallest x
    glBegin(GL_TRIANGLE_STRIP);
    skyCorner(1, 0, x0, y0, z0);
    skyCorner(0, 0, x0, y0, z1);
    skyCorner(1, 1, x0, y1, z0);
    skyCorner(0, 1, x0, y1, z1);
    glEnd();

    glBindTexture(GL_TEXTURE_2D, skyTextures[4]); // "left" picture on the largest x
    glBegin(GL_TRIANGLE_STRIP);
    skyCorner(0, 0, x1, y0, z0);
    skyCorner(1, 0, x1, y0, z1);
    skyCorner(0, 1, x1, y1, z0);
    skyCorner(1, 1, x1, y1, z1);
    glEnd();

    resumeLighting(lit);
    glEnable(GL_DEPTH_TEST);
}
