// The logo, intro and end pictures stretched over the whole viewport, and the start frame.
#include "render/lighting.h"
#include "render/screens.h"

#include "base/show_files.h"

#include <GL/gl.h>

#include "render/overlay.h"
#include "render/texture.h"

unsigned int introPicture = 0;
unsigned int logoPicture = 0;
unsigned int endPicture = 0;

// Loads one picture into the bound image name; reports a failure and returns false.
static bool loadScreenPicture(const char* path, unsigned int& picture) {
    const unsigned int texture = loadPictureOrReport(path);
    if (texture == 0) {
        return false;
    }
    picture = texture;
    return true;
}

// Intro, logo, end in that order with one image name; the first failure stops the rest.
void loadScreenPictures() {
    bindNewImage();
    if (!loadScreenPicture(SHOW_INTRO_PICTURE, introPicture)) {
        return;
    }
    if (!loadScreenPicture(SHOW_LOGO_PICTURE, logoPicture)) {
        return;
    }
    loadScreenPicture(SHOW_END_PICTURE, endPicture);
}

// Draws `picture` over the 640 x 480 overlay, its t = 1 edge at the top, unlit and without depth
// test; `linear` sets the picture's filters first. Leaves the depth test on, texturing off,
// lighting as found, the projection as found and the modelview at the identity.
static void drawOverlayPicture(unsigned int picture, bool linear) {
    const bool lit = suspendLighting();
    beginOverlay();
    glEnable(GL_TEXTURE_2D);
    glLoadIdentity();
    glBindTexture(GL_TEXTURE_2D, picture);
    if (linear) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    }
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(0, 1);
    glVertex2i(0, 0);
    glTexCoord2f(1, 1);
    glVertex2i(640, 0);
    glTexCoord2f(0, 0);
    glVertex2i(0, 480);
    glTexCoord2f(1, 0);
    glVertex2i(640, 480);
    glEnd();
    endOverlay(lit);
}

void drawLogoScreen() {
    drawOverlayPicture(logoPicture, false);
}

void drawIntroScreen() {
    drawOverlayPicture(introPicture, false);
}

// The end picture is drawn linear whatever the filtering key did to it.
void drawEndScreen() {
    drawOverlayPicture(endPicture, true);
}

// Clears and draws the logo picture only.
void drawStartFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    drawLogoScreen();
}
