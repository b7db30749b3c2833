// Bitmap font: glyph choice and placement, the two sets, the state printText leaves, a null
// format, text longer than the buffer, and loading the font picture.
#include "render_support.h"

TEST(Font, GlyphsSetsAndPenAdvance) {
    resetRenderState();
    useTestFont();
    printText(16, 16, 0, "A");
    printText(100, 200, 0, "%d%s", 7, "B");
    printText(16, 100, 1, "A");
    printText(16, 300, 2, "A");
    // "A" in set 0 is glyph 33, a 10 x 16 cell at the pen; the pen moves 10 per glyph.
    EXPECT_TRUE(showsGlyph(16, 16, 33) && showsGlyph(25, 31, 33));
    EXPECT_TRUE(pixelNear(15, 479 - 24, 0, 0, 0));
    EXPECT_TRUE(pixelNear(26, 479 - 24, 0, 0, 0) && pixelNear(20, 479 - 32, 0, 0, 0));
    EXPECT_TRUE(showsGlyph(104, 208, '7' - 32) && showsGlyph(114, 208, 'B' - 32));
    EXPECT_TRUE(showsGlyph(20, 108, 33 + 128)); // set 1: the lower half of the grid
    EXPECT_TRUE(showsGlyph(20, 308, 33 + 128)); // set 2 draws as set 1
}

TEST(Font, StateLeftBehindNullFormatAndLongText) {
    for (bool lit : {true, false}) {
        resetRenderState();
        useTestFont();
        glMatrixMode(GL_PROJECTION);
        glTranslatef(1, 2, 3);
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(4, 5, 6);
        glDisable(GL_DEPTH_TEST);
        (lit ? glEnable : glDisable)(GL_LIGHTING);
        const char* none = nullptr;
        GLfloat projection[16], modelview[16];
        printText(16, 16, 0, none); // changes nothing
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        EXPECT_TRUE(!glIsEnabled(GL_DEPTH_TEST) && modelview[12] == 4);
        EXPECT_TRUE(pixelNear(20, 479 - 24, 0, 0, 0));
        glEnable(GL_TEXTURE_2D);
        printText(16, 16, 0, "Skarn");
        EXPECT_EQ(glIsEnabled(GL_LIGHTING), GLboolean(lit));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        EXPECT_TRUE(projection[12] == 1 && projection[14] == 3 && projection[0] == 1);
        EXPECT_TRUE(modelview[12] == 0 && modelview[14] == 0 && modelview[0] == 1);
        GLint mode = 0, depth = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
        EXPECT_TRUE(mode == GL_MODELVIEW && depth == 1);
    }
    // 1022 codes naming no list, then letters: only the first letter fits in the 1024 bytes.
    resetRenderState();
    printText(16, 16, 0, "%s", (std::string(1022, '\x01') + std::string(3000, 'A')).c_str());
    EXPECT_TRUE(showsGlyph(20, 24, 33));
    EXPECT_TRUE(pixelNear(30, 479 - 24, 0, 0, 0));
}

TEST(Font, LoadsThePictureOrNamesTheFileTried) {
    resetRenderState();
    fontTexture = fontListBase = 0;
    inDirectory("render/pictures", [] { loadFont(); });
    EXPECT_NE(fontTexture, 0u);
    EXPECT_TRUE(glIsList(fontListBase) && glIsList(fontListBase + 255));
    glDeleteLists(fontListBase, 256);

    fontTexture = fontListBase = 0;
    testing::internal::CaptureStdout();
    inDirectory("render/partial", [] { loadFont(); });
    fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), textureFailure("textures/Font.tga"));
    EXPECT_TRUE(fontTexture == 0 && fontListBase == 0);
    glDisable(GL_DEPTH_TEST);
    printText(16, 16, 0, "A"); // no font: the usual state, nothing drawn
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(pixelNear(20, 479 - 24, 0, 0, 0));
}
