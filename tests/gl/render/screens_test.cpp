// Full-screen pictures and text share the overlay: upright over the viewport whatever the
// matrices, the state they leave; the end picture's filters and culling.
#include "render/screens.h"
#include "render_support.h"

TEST(Overlay, PicturesAndTextLeaveTheStateTheyFound) {
    useTestFont();
    // Top texel row (t = 1) red, bottom row blue.
    logoPicture =
        makeTexture({{0, 0, 255, 255}, {0, 0, 255, 255}, {255, 0, 0, 255}, {255, 0, 0, 255}});
    for (int round = 0; round < 4; round++) {
        const bool text = round & 1, lit = round & 2; // lit with no light would come out black
        resetRenderState();
        glMatrixMode(GL_PROJECTION);
        glTranslatef(0.5f, 0.5f, 3);
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(0.3f, 0, 0);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        (lit ? glEnable : glDisable)(GL_LIGHTING);
        text ? printText(16, 16, 0, "A") : drawLogoScreen();
        EXPECT_TRUE(text ? showsGlyph(16, 16, 33) && showsGlyph(25, 31, 33)
                         : pixelNear(0, 479, 255, 0, 0) && pixelNear(639, 479, 255, 0, 0) &&
                               pixelNear(0, 0, 0, 0, 255) && pixelNear(639, 0, 0, 0, 255))
            << round;
        GLfloat projection[16], modelview[16];
        GLint mode = 0, depth = 0, bound = 0;
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING) == lit) << round;
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << round;
        EXPECT_TRUE(!glIsEnabled(GL_TEXTURE_2D)) << round;
        EXPECT_TRUE(projection[12] == 0.5f) << round;
        EXPECT_TRUE(projection[14] == 3) << round;
        EXPECT_TRUE(modelview[12] == 0) << round;
        EXPECT_TRUE(mode == GL_MODELVIEW) << round;
        EXPECT_TRUE(depth == 1) << round;
        EXPECT_TRUE(text || GLuint(bound) == logoPicture); // the picture stays bound
    }
}

// The end picture is filtered linearly at every draw, the others keep theirs; the strip winds
// clockwise: culled when culling is on, which stays on.
TEST(Screens, EndFiltersCullingAndTheStartFrame) {
    resetRenderState();
    endPicture = makeSolidTexture(255, 255, 0);
    for (int round = 0; round < 2; round++) {
        glBindTexture(GL_TEXTURE_2D, endPicture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        drawEndScreen();
        EXPECT_TRUE(pixelNear(320, 240, 255, 255, 0));
    }
    GLint end = 0, logo = 0;
    glBindTexture(GL_TEXTURE_2D, endPicture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &end);
    glBindTexture(GL_TEXTURE_2D, logoPicture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &logo);
    EXPECT_TRUE(end == GL_LINEAR);
    EXPECT_TRUE(logo == GL_NEAREST);
    resetRenderState();
    glEnable(GL_CULL_FACE);
    drawLogoScreen();
    EXPECT_TRUE(pixelNear(320, 240, 0, 0, 0));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    glDeleteTextures(1, &logoPicture);
    glDeleteTextures(1, &endPicture);
}

// The two sets, a null format, text longer than the buffer, and no font at all. (Placement and
// advance are seen in the scene frame.)
TEST(Font, SetsNullFormatLongTextAndNoFont) {
    resetRenderState();
    useTestFont();
    const char* none = nullptr;
    glDisable(GL_DEPTH_TEST);
    printText(16, 16, 0, none); // changes nothing
    EXPECT_TRUE(!glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(pixelNear(20, 479 - 24, 0, 0, 0));
    printText(16, 100, 1, "A"); // set 1: the lower half of the grid; set 2 draws as set 1
    printText(16, 300, 2, "A");
    EXPECT_TRUE(showsGlyph(20, 108, 33 + 128));
    EXPECT_TRUE(showsGlyph(20, 308, 33 + 128));
    // 1022 codes naming no list, then letters: only the first letter fits in the 1024 bytes.
    printText(16, 16, 0, "%s", (std::string(1022, '\x01') + std::string(3000, 'A')).c_str());
    EXPECT_TRUE(showsGlyph(20, 24, 33));
    EXPECT_TRUE(pixelNear(30, 479 - 24, 0, 0, 0));
    resetRenderState();
    fontTexture = fontListBase = 0;
    glDisable(GL_DEPTH_TEST);
    printText(16, 16, 0, "A");
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(pixelNear(20, 479 - 24, 0, 0, 0));
    useTestFont();
}

// Display lists made after the font (the meshes' lists) never answer a code of either set: set 1
// with codes 160 to 255 names lists past the 256 glyphs, which must draw nothing.
TEST(Font, ListsMadeAfterTheFontAreNeverCalledByText) {
    resetRenderState();
    buildFontLists(makeSolidTexture(255, 255, 255));
    const unsigned int base = fontListBase;
    const GLuint later = glGenLists(1); // what a mesh compiled after the font gets
    glNewList(later, GL_COMPILE);
    glDisable(GL_TEXTURE_2D);
    glColor3f(1, 0, 1);
    glRecti(-1000, -1000, 2000, 2000);
    glEndList();
    std::string codes;
    for (int c = 160; c < 256; c++) {
        codes += char(c);
    }
    glClear(GL_COLOR_BUFFER_BIT);
    printText(0, 100, 1, "%s", codes.c_str());
    EXPECT_TRUE(pixelNear(320, 240, 0, 0, 0) && pixelNear(5, 479 - 105, 0, 0, 0));
    EXPECT_GE(later, base - 32 + 128 + 256);
    glDeleteLists(later, 1);
    glColor3f(1, 1, 1);
    useTestFont();
}
