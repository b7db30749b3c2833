// Full-screen pictures and text share the overlay: upright over the viewport whatever the
// matrices, the state they leave; the end picture's filters and culling.
#include <numeric>

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
        const std::vector<float> projection = glFloats(GL_PROJECTION_MATRIX, 16);
        EXPECT_EQ(glFlags(), (std::vector<int>{1, 0, 0, lit, 1})) << round;
        EXPECT_EQ((std::vector<float>{projection[12], projection[14],
                                      glFloats(GL_MODELVIEW_MATRIX, 16)[12]}),
                  (std::vector<float>{0.5f, 3, 0}))
            << round;
        EXPECT_EQ(glInt(GL_MATRIX_MODE), GL_MODELVIEW) << round;
        EXPECT_EQ(glInt(GL_PROJECTION_STACK_DEPTH), 1) << round;
        EXPECT_TRUE(text || GLuint(glInt(GL_TEXTURE_BINDING_2D)) == logoPicture); // stays bound
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
    auto magFilter = [](unsigned int picture) {
        GLint filter = 0;
        glBindTexture(GL_TEXTURE_2D, picture);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &filter);
        return filter;
    };
    EXPECT_EQ(magFilter(endPicture), GL_LINEAR);
    EXPECT_EQ(magFilter(logoPicture), GL_NEAREST);
    resetRenderState();
    glEnable(GL_CULL_FACE);
    drawLogoScreen();
    EXPECT_TRUE(pixelNear(320, 240, 0, 0, 0) && glIsEnabled(GL_CULL_FACE));
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
    EXPECT_TRUE(!glIsEnabled(GL_DEPTH_TEST) && pixelNear(20, 479 - 24, 0, 0, 0));
    printText(16, 100, 1, "A"); // set 1: the lower half of the grid; set 2 draws as set 1
    printText(16, 300, 2, "A");
    EXPECT_TRUE(showsGlyph(20, 108, 33 + 128) && showsGlyph(20, 308, 33 + 128));
    // 1022 codes naming no list, then letters: only the first letter fits in the 1024 bytes.
    printText(16, 16, 0, "%s", (std::string(1022, '\x01') + std::string(3000, 'A')).c_str());
    EXPECT_TRUE(showsGlyph(20, 24, 33) && pixelNear(30, 479 - 24, 0, 0, 0));
    resetRenderState();
    fontTexture = fontListBase = 0;
    glDisable(GL_DEPTH_TEST);
    printText(16, 16, 0, "A");
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && pixelNear(20, 479 - 24, 0, 0, 0));
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
    std::string codes(96, ' ');
    std::iota(codes.begin(), codes.end(), char(160));
    glClear(GL_COLOR_BUFFER_BIT);
    printText(0, 100, 1, "%s", codes.c_str());
    EXPECT_TRUE(pixelNear(320, 240, 0, 0, 0) && pixelNear(5, 479 - 105, 0, 0, 0));
    EXPECT_GE(later, base - 32 + 128 + 256);
    glDeleteLists(later, 1);
    glColor3f(1, 1, 1);
    useTestFont();
}
