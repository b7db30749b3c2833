// Bitmap font: glyph choice and placement on the overlay, the two sets, the state printText
// leaves, a null format, text longer than the buffer, and loading the font picture.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "render/font.h"
#include "render_support.h"

namespace {

class Font : public testing::Test {
  protected:
    void SetUp() override {
        savedTexture = fontTexture;
        savedBase = fontListBase;
        resetRenderState();
        useTestFont();
    }
    void TearDown() override {
        fontTexture = savedTexture;
        fontListBase = savedBase;
        resetRenderState();
    }
    unsigned int savedTexture = 0;
    unsigned int savedBase = 0;
};

// The test font paints glyph g as (g, 255 - g, 200).
bool showsGlyph(int x, int y, int glyph) {
    return near(overlayPixel(x, y), glyph, 255 - glyph, 200, 1);
}

TEST_F(Font, LetterAInSetZeroDrawsGlyph33AsA10By16CellAtThePen) {
    printText(16, 16, 0, "A");
    EXPECT_TRUE(showsGlyph(16, 16, 33));
    EXPECT_TRUE(showsGlyph(25, 31, 33));
    EXPECT_TRUE(showsGlyph(20, 24, 33));
    // Just outside the cell on each side: still the cleared frame.
    EXPECT_TRUE(near(overlayPixel(15, 24), 0, 0, 0));
    EXPECT_TRUE(near(overlayPixel(26, 24), 0, 0, 0));
    EXPECT_TRUE(near(overlayPixel(20, 15), 0, 0, 0));
    EXPECT_TRUE(near(overlayPixel(20, 32), 0, 0, 0));
}

TEST_F(Font, PenAdvancesTenUnitsPerGlyphWithFormattedValues) {
    printText(100, 200, 0, "%d%s", 7, "B");
    EXPECT_TRUE(showsGlyph(104, 208, '7' - 32));
    EXPECT_TRUE(showsGlyph(114, 208, 'B' - 32));
}

TEST_F(Font, SetOneAndAboveUseTheLowerHalfOfTheGrid) {
    printText(16, 16, 1, "A");
    printText(16, 100, 2, "A");
    printText(16, 200, 1, "\x01");
    EXPECT_TRUE(showsGlyph(20, 24, 33 + 128));
    EXPECT_TRUE(showsGlyph(20, 108, 33 + 128));
    EXPECT_TRUE(showsGlyph(20, 208, 1 - 32 + 128));
}

TEST_F(Font, LeavesDepthTestOnTexturingOffLightingAsFoundAndMatricesRestored) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glTranslatef(1, 2, 3);
    GLfloat before[16];
    glGetFloatv(GL_PROJECTION_MATRIX, before);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(5, 5, 5);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    for (bool lit : {true, false}) {
        if (lit) {
            glEnable(GL_LIGHTING);
        } else {
            glDisable(GL_LIGHTING);
        }
        printText(16, 16, 0, "Skarn");
        EXPECT_EQ(glIsEnabled(GL_LIGHTING), lit ? GL_TRUE : GL_FALSE);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
        GLfloat after[16];
        glGetFloatv(GL_PROJECTION_MATRIX, after);
        for (int i = 0; i < 16; i++) {
            EXPECT_EQ(after[i], before[i]);
        }
        GLfloat modelview[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        for (int i = 0; i < 16; i++) {
            EXPECT_EQ(modelview[i], (i % 5 == 0) ? 1.0f : 0.0f);
        }
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        GLint depth = 0;
        glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
        EXPECT_EQ(depth, 1);
    }
}

TEST_F(Font, NullFormatChangesNothing) {
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glMatrixMode(GL_PROJECTION);
    glTranslatef(1, 2, 3);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(4, 5, 6);
    glBindTexture(GL_TEXTURE_2D, 0);
    const char* none = nullptr;
    printText(16, 16, 0, none);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLfloat modelview[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    EXPECT_EQ(modelview[12], 4.0f);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_TRUE(near(overlayPixel(20, 24), 0, 0, 0));
}

// 1022 codes that name no list (they neither draw nor move the pen), then many letters: only
// the first letter fits in the 1024-byte buffer, and it lands at the pen's start.
TEST_F(Font, TextLongerThanTheBufferIsCutToFit) {
    const std::string text = std::string(1022, '\x01') + std::string(3000, 'A');
    printText(16, 16, 0, "%s", text.c_str());
    EXPECT_TRUE(showsGlyph(20, 24, 33));
    EXPECT_TRUE(near(overlayPixel(30, 24), 0, 0, 0));
}

TEST_F(Font, LoadFontBuildsListsFromThePicture) {
    ensureImageLibrary();
    fontTexture = 0;
    fontListBase = 0;
    inDirectory("render/pictures", [] { loadFont(); });
    EXPECT_NE(fontTexture, 0u);
    ASSERT_NE(fontListBase, 0u);
    EXPECT_TRUE(glIsList(fontListBase));
    EXPECT_TRUE(glIsList(fontListBase + 255));
    glDeleteLists(fontListBase, 256);
}

TEST_F(Font, MissingPictureNamesTheFileTriedAndBuildsNothing) {
    ensureImageLibrary();
    fontTexture = 0;
    fontListBase = 0;
    testing::internal::CaptureStdout();
    inDirectory("render/partial", [] { loadFont(); });
    fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "textures/Font.tga : probl\xe8"
              "me lors du chargement de la texture --> texture d\xe9"
              "sactiv\xe9"
              "e !\n");
    EXPECT_EQ(fontTexture, 0u);
    EXPECT_EQ(fontListBase, 0u);
    // Text without a font still leaves the state as usual and draws nothing.
    glDisable(GL_DEPTH_TEST);
    printText(16, 16, 0, "A");
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(near(overlayPixel(20, 24), 0, 0, 0));
}

} // namespace
