// Full-screen pictures: upright over the viewport whatever the matrices, the state they leave,
// the end picture's filters, culling, the start frame, and loading that stops at a failure.
#include "render/screens.h"
#include "render_support.h"

TEST(Screens, PicturesFillTheViewportUprightAndLeaveTheirState) {
    resetRenderState();
    // Top texel row (t = 1) red, bottom row blue.
    logoPicture =
        makeTexture({{0, 0, 255, 255}, {0, 0, 255, 255}, {255, 0, 0, 255}, {255, 0, 0, 255}});
    introPicture = makeSolidTexture(0, 255, 0);
    endPicture = makeSolidTexture(255, 255, 0);
    for (bool lit : {true, false}) {
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glTranslatef(0.5f, 0.5f, 3);
        glMatrixMode(GL_MODELVIEW);
        glTranslatef(0.3f, 0, 0);
        glDisable(GL_DEPTH_TEST);
        glEnable(GL_TEXTURE_2D);
        (lit ? glEnable : glDisable)(GL_LIGHTING); // lit with no light would come out black
        drawLogoScreen();
        EXPECT_TRUE(pixelNear(0, 479, 255, 0, 0) && pixelNear(639, 479, 255, 0, 0));
        EXPECT_TRUE(pixelNear(0, 0, 0, 0, 255) && pixelNear(639, 0, 0, 0, 255));
        drawIntroScreen();
        EXPECT_TRUE(pixelNear(320, 240, 0, 255, 0));
        EXPECT_EQ(glIsEnabled(GL_LIGHTING), GLboolean(lit));
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST) && !glIsEnabled(GL_TEXTURE_2D));
        GLfloat projection[16], modelview[16];
        GLint mode = 0, bound = 0;
        glGetFloatv(GL_PROJECTION_MATRIX, projection);
        glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_TRUE(projection[12] == 0.5f && projection[14] == 3 && modelview[12] == 0);
        EXPECT_TRUE(mode == GL_MODELVIEW && GLuint(bound) == introPicture);
    }
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
    for (unsigned int* t : {&logoPicture, &introPicture, &endPicture}) {
        glDeleteTextures(1, t);
    }
}

TEST(Screens, LoadsTheThreePicturesAndStopsAtTheFirstFailure) {
    resetRenderState();
    introPicture = logoPicture = endPicture = 0;
    inDirectory("render/pictures", [] { loadScreenPictures(); });
    ASSERT_TRUE(introPicture && logoPicture && endPicture);
    drawIntroScreen();
    EXPECT_TRUE(pixelNear(320, 240, 200, 100, 0, 12));
    drawLogoScreen();
    EXPECT_TRUE(pixelNear(320, 240, 0, 100, 200, 12));
    drawEndScreen();
    EXPECT_TRUE(pixelNear(320, 240, 100, 200, 50, 12));
    // No logo or end picture after a missing intro, although their files exist.
    introPicture = logoPicture = endPicture = 0;
    testing::internal::CaptureStdout();
    inDirectory("render/partial", [] { loadScreenPictures(); });
    fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), textureFailure("textures/intro1.jpg"));
    EXPECT_TRUE(introPicture == 0 && logoPicture == 0 && endPicture == 0);
}
