// Full-screen pictures and text share the overlay: upright over the viewport whatever the
// matrices, the state they leave; then the end picture's filters, culling and the start frame
// (the logo of the overlay test). Loading the pictures is checked end to end.
#include "render/screens.h"
#include "render_support.h"

TEST(Overlay, PicturesAndTextLeaveTheStateTheyFound) {
    useTestFont();
    // Top texel row (t = 1) red, bottom row blue.
    logoPicture =
        makeTexture({{0, 0, 255, 255}, {0, 0, 255, 255}, {255, 0, 0, 255}, {255, 0, 0, 255}});
    for (bool text : {false, true}) {
        for (bool lit : {true, false}) {
            resetRenderState();
            glMatrixMode(GL_PROJECTION);
            glTranslatef(0.5f, 0.5f, 3);
            glMatrixMode(GL_MODELVIEW);
            glTranslatef(0.3f, 0, 0);
            glDisable(GL_DEPTH_TEST);
            glEnable(GL_TEXTURE_2D);
            (lit ? glEnable : glDisable)(GL_LIGHTING); // lit with no light would come out black
            text ? printText(16, 16, 0, "A") : drawLogoScreen();
            if (text) {
                EXPECT_TRUE(showsGlyph(16, 16, 33) && showsGlyph(25, 31, 33));
            } else {
                EXPECT_TRUE(pixelNear(0, 479, 255, 0, 0) && pixelNear(639, 479, 255, 0, 0));
                EXPECT_TRUE(pixelNear(0, 0, 0, 0, 255) && pixelNear(639, 0, 0, 0, 255));
            }
            EXPECT_EQ(glIsEnabled(GL_LIGHTING), GLboolean(lit));
            EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && !glIsEnabled(GL_TEXTURE_2D)) << text;
            GLfloat projection[16], modelview[16];
            GLint mode = 0, depth = 0, bound = 0;
            glGetFloatv(GL_PROJECTION_MATRIX, projection);
            glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
            glGetIntegerv(GL_MATRIX_MODE, &mode);
            glGetIntegerv(GL_PROJECTION_STACK_DEPTH, &depth);
            glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
            EXPECT_TRUE(projection[12] == 0.5f && projection[14] == 3 && modelview[12] == 0)
                << text;
            EXPECT_TRUE(mode == GL_MODELVIEW && depth == 1) << text;
            EXPECT_TRUE(text || GLuint(bound) == logoPicture); // the picture stays bound
        }
    }
}

TEST(Screens, EndFiltersCullingAndTheStartFrame) {
    resetRenderState();
    endPicture = makeSolidTexture(255, 255, 0);
    // The end picture is filtered linearly at every draw; the others keep their filters.
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
    EXPECT_TRUE(end == GL_LINEAR && logo == GL_NEAREST);
    // The strip winds clockwise on screen: culling back faces hides it, and stays on.
    resetRenderState();
    glEnable(GL_CULL_FACE);
    drawLogoScreen();
    EXPECT_TRUE(pixelNear(320, 240, 0, 0, 0) && glIsEnabled(GL_CULL_FACE));
    // The start frame clears colour and depth, then shows the logo.
    resetRenderState();
    glClearColor(0.5f, 0.5f, 0.5f, 1);
    glClearDepth(0.25);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    glClearDepth(1.0);
    drawStartFrame();
    EXPECT_TRUE(pixelNear(320, 479, 255, 0, 0) && depthAt(320, 240) == 1.0f);
    glDeleteTextures(1, &logoPicture);
    glDeleteTextures(1, &endPicture);
}
