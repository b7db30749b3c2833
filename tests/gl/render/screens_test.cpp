// Full-screen pictures: they fill the viewport upright, leave the state as promised, the end
// picture is filtered linearly, culling hides them, and the three pictures load in order.
#include <gtest/gtest.h>

#include <cstdio>

#include "render/screens.h"
#include "render_support.h"

namespace {

class Screens : public testing::Test {
  protected:
    void SetUp() override {
        resetRenderState();
        saved[0] = logoPicture;
        saved[1] = introPicture;
        saved[2] = endPicture;
        // Upright check: the top texel row (t = 1) is red, the bottom one (t = 0) blue.
        const Rgba texels[4] = {
            {0, 0, 255, 255}, {0, 0, 255, 255}, {255, 0, 0, 255}, {255, 0, 0, 255}};
        logoPicture = makeTexture(texels);
        introPicture = makeSolidTexture(0, 255, 0);
        endPicture = makeSolidTexture(255, 255, 0);
    }
    void TearDown() override {
        glDeleteTextures(1, &logoPicture);
        glDeleteTextures(1, &introPicture);
        glDeleteTextures(1, &endPicture);
        logoPicture = saved[0];
        introPicture = saved[1];
        endPicture = saved[2];
        resetRenderState();
    }
    unsigned int saved[3];
};

TEST_F(Screens, PictureFillsTheViewportUpright) {
    glMatrixMode(GL_PROJECTION);
    glTranslatef(0.5f, 0.5f, 0);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(0.3f, 0, 0);
    drawLogoScreen();
    for (int x : {0, 320, 639}) {
        EXPECT_TRUE(near(pixelAt(x, 479), 255, 0, 0)) << x;
        EXPECT_TRUE(near(pixelAt(x, 0), 0, 0, 255)) << x;
    }
    drawIntroScreen();
    EXPECT_TRUE(near(pixelAt(0, 0), 0, 255, 0));
    EXPECT_TRUE(near(pixelAt(639, 479), 0, 255, 0));
    drawEndScreen();
    EXPECT_TRUE(near(pixelAt(320, 240), 255, 255, 0));
}

TEST_F(Screens, LeavesDepthOnTexturingOffLightingAsFoundProjectionKept) {
    glMatrixMode(GL_PROJECTION);
    glTranslatef(1, 2, 3);
    GLfloat before[16];
    glGetFloatv(GL_PROJECTION_MATRIX, before);
    glMatrixMode(GL_MODELVIEW);
    glTranslatef(5, 5, 5);
    glDisable(GL_DEPTH_TEST);
    for (bool lit : {true, false}) {
        if (lit) {
            glEnable(GL_LIGHTING);
        } else {
            glDisable(GL_LIGHTING);
        }
        glEnable(GL_TEXTURE_2D);
        drawIntroScreen();
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
        EXPECT_EQ(modelview[12], 0.0f);
        GLint mode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &mode);
        EXPECT_EQ(mode, GL_MODELVIEW);
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ(GLuint(bound), introPicture);
    }
    // Drawn unlit: with lighting on and no light the picture would come out black.
    glEnable(GL_LIGHTING);
    drawIntroScreen();
    EXPECT_TRUE(near(pixelAt(320, 240), 0, 255, 0));
}

TEST_F(Screens, EndPictureIsFilteredLinearlyEveryTimeOthersKeepTheirFilters) {
    drawEndScreen();
    glBindTexture(GL_TEXTURE_2D, endPicture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    drawEndScreen();
    glBindTexture(GL_TEXTURE_2D, endPicture);
    GLint value = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_LINEAR);
    drawLogoScreen();
    glBindTexture(GL_TEXTURE_2D, logoPicture);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &value);
    EXPECT_EQ(value, GL_NEAREST);
}

// The strip winds clockwise on screen: with back faces culled the picture disappears.
TEST_F(Screens, CullingHidesThePictureAndIsLeftAlone) {
    glEnable(GL_CULL_FACE);
    drawLogoScreen();
    EXPECT_TRUE(near(pixelAt(320, 240), 0, 0, 0));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}

TEST_F(Screens, StartFrameClearsAndShowsTheLogo) {
    glClearColor(0.5f, 0.5f, 0.5f, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 0);
    glClearDepth(0.25);
    glClear(GL_DEPTH_BUFFER_BIT);
    glClearDepth(1.0);
    drawStartFrame();
    EXPECT_TRUE(near(pixelAt(320, 479), 255, 0, 0));
    GLfloat depth = 0;
    glReadPixels(320, 240, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_EQ(depth, 1.0f);
}

TEST_F(Screens, LoadsIntroLogoEndFromTheirFiles) {
    ensureImageLibrary();
    introPicture = logoPicture = endPicture = 0;
    inDirectory("render/pictures", [] { loadScreenPictures(); });
    ASSERT_NE(introPicture, 0u);
    ASSERT_NE(logoPicture, 0u);
    ASSERT_NE(endPicture, 0u);
    drawIntroScreen();
    EXPECT_TRUE(near(pixelAt(320, 240), 200, 100, 0, 12));
    drawLogoScreen();
    EXPECT_TRUE(near(pixelAt(320, 240), 0, 100, 200, 12));
    drawEndScreen();
    EXPECT_TRUE(near(pixelAt(320, 240), 100, 200, 50, 12));
}

// The first failure stops the loading: no logo or end picture although their files exist.
TEST_F(Screens, MissingIntroStopsTheLoading) {
    ensureImageLibrary();
    introPicture = logoPicture = endPicture = 0;
    testing::internal::CaptureStdout();
    inDirectory("render/partial", [] { loadScreenPictures(); });
    fflush(stdout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "textures/intro1.jpg : probl\xe8"
              "me lors du chargement de la texture --> texture d\xe9"
              "sactiv\xe9"
              "e !\n");
    EXPECT_EQ(introPicture, 0u);
    EXPECT_EQ(logoPicture, 0u);
    EXPECT_EQ(endPicture, 0u);
}

} // namespace
