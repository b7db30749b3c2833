// Bitmap font: the font picture, its 256 glyph display lists, and text on the 640 x 480 overlay.
#include "render/lighting.h"
#include "render/font.h"

#include "base/show_files.h"

#include <GL/gl.h>
#include <cstdarg>
#include <cstdio>

#include "render/overlay.h"
#include "render/texture.h"

unsigned int fontTexture = 0;
unsigned int fontListBase = 0;

static const char* const FONT_PICTURE = SHOW_FONT_PICTURE;
static const int TEXT_BUFFER_SIZE = 1024; // formatted text, terminating zero included
// List names kept for the font: set 1 with codes up to 255 names lists up to 351 past the base,
// so lists made later (the meshes') must start beyond them or text would replay scene geometry.
static const int FONT_RESERVED_LISTS = 512;

// Loads the font picture and builds its lists; on failure reports the file and builds nothing.
void loadFont() {
    bindNewImage();
    const unsigned int texture = loadPictureOrReport(FONT_PICTURE);
    if (texture == 0) {
        return;
    }
    fontTexture = texture;
    buildFontLists(fontTexture);
}

// One list per glyph of the 16 x 16 grid: a 10 x 16 textured quad, then the pen moves 10 right.
// The top edge is sampled 0.001 inside the cell so the row above never bleeds in. The names past
// the 256 glyphs stay reserved and empty: calling them draws nothing.
void buildFontLists(unsigned int texture) {
    fontListBase = glGenLists(FONT_RESERVED_LISTS);
    glBindTexture(GL_TEXTURE_2D, texture);
    for (int i = 0; i < 256; i++) {
        const float cx = float(i % 16) / 16.0f;
        const float cy = float(i / 16) / 16.0f;
        glNewList(fontListBase + i, GL_COMPILE);
        glBegin(GL_QUADS);
        glTexCoord2f(cx, 1 - cy - 0.0625f);
        glVertex2i(0, 16);
        glTexCoord2f(cx + 0.0625f, 1 - cy - 0.0625f);
        glVertex2i(10, 16);
        glTexCoord2f(cx + 0.0625f, 1 - cy - 0.001f);
        glVertex2i(10, 0);
        glTexCoord2f(cx, 1 - cy - 0.001f);
        glVertex2i(0, 0);
        glEnd();
        glTranslated(10, 0, 0);
        glEndList();
    }
}

// Formats into the fixed buffer (longer text is cut to fit), then draws it unlit, without depth
// test, in the overlay's top-left coordinates. Leaves the depth test on, texturing off,
// lighting as found, the projection as found and the modelview at the identity.
void printText(int x, int y, int set, const char* format, ...) {
    if (format == nullptr) {
        return;
    }
    char text[TEXT_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    int length = vsnprintf(text, sizeof text, format, args);
    va_end(args);
    if (length < 0) {
        length = 0;
    } else if (length > TEXT_BUFFER_SIZE - 1) {
        length = TEXT_BUFFER_SIZE - 1;
    }
    if (set > 1) {
        set = 1;
    }

    beginOverlay();
    const bool lit = suspendLighting();
    glEnable(GL_TEXTURE_2D);
    glLoadIdentity();
    glTranslated(x, y, 0);
    glBindTexture(GL_TEXTURE_2D, fontTexture);
    // Without a font there are no glyph lists: the offsets would wrap round onto other lists.
    if (fontListBase != 0) {
        glListBase(fontListBase - 32 + 128 * set);
        glCallLists(length, GL_UNSIGNED_BYTE, text);
    }

    endOverlay(lit);
}
