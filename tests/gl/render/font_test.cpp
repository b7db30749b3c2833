// Bitmap font: glyph choice and placement, the two sets, a null format, text longer than the
// buffer, and no font at all. (The state text leaves is in the overlay test; loading the font
// picture is checked end to end.)
#include "render_support.h"

TEST(Font, GlyphsSetsPenAdvanceNullFormatAndLongText) {
    resetRenderState();
    useTestFont();
    const char* none = nullptr;
    glDisable(GL_DEPTH_TEST);
    printText(16, 16, 0, none); // changes nothing
    EXPECT_TRUE(!glIsEnabled(GL_DEPTH_TEST) && pixelNear(20, 479 - 24, 0, 0, 0));
    printText(100, 200, 0, "%d%s", 7, "B");
    printText(16, 100, 1, "A");
    printText(16, 300, 2, "A");
    printText(16, 16, 0, "A");
    // "A" in set 0 is glyph 33, a 10 x 16 cell at the pen; the pen moves 10 per glyph.
    EXPECT_TRUE(showsGlyph(16, 16, 33) && showsGlyph(25, 31, 33));
    EXPECT_TRUE(pixelNear(15, 479 - 24, 0, 0, 0));
    EXPECT_TRUE(pixelNear(26, 479 - 24, 0, 0, 0) && pixelNear(20, 479 - 32, 0, 0, 0));
    EXPECT_TRUE(showsGlyph(104, 208, '7' - 32) && showsGlyph(114, 208, 'B' - 32));
    EXPECT_TRUE(showsGlyph(20, 108, 33 + 128)); // set 1: the lower half of the grid
    EXPECT_TRUE(showsGlyph(20, 308, 33 + 128)); // set 2 draws as set 1
    // 1022 codes naming no list, then letters: only the first letter fits in the 1024 bytes.
    resetRenderState();
    printText(16, 16, 0, "%s", (std::string(1022, '\x01') + std::string(3000, 'A')).c_str());
    EXPECT_TRUE(showsGlyph(20, 24, 33) && pixelNear(30, 479 - 24, 0, 0, 0));
    // Without a font: the usual state, nothing drawn.
    resetRenderState();
    fontTexture = fontListBase = 0;
    glDisable(GL_DEPTH_TEST);
    printText(16, 16, 0, "A");
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && pixelNear(20, 479 - 24, 0, 0, 0));
    useTestFont();
}
