// Lamps in a real GL context: the light and material state each lamp leaves behind.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <vector>

#include "scene/lamps.h"

// Switches every light of the lamp range off, so each test starts from none.
static void disableAllLights() {
    for (int i = 0; i < 8; ++i) {
        glDisable(GL_LIGHT0 + i);
    }
}

static std::vector<float> lightVector(int index, GLenum what) {
    float v[4] = {-1, -1, -1, -1};
    glGetLightfv(GL_LIGHT0 + index, what, v);
    return std::vector<float>(v, v + 4);
}

TEST(LampsGl, SetUpGivesColourWithIntensityAsAlphaAndPointPosition) {
    disableAllLights();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const float specular[4] = {1, 1, 1, 1};
    const float position[4] = {10, 20, -5, 1};
    const float colour[4] = {1, 0, 0, 0.5f};
    setUpLamp(specular, position, colour, 3);

    EXPECT_TRUE(glIsEnabled(GL_LIGHT3));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT2));
    EXPECT_EQ(lightVector(3, GL_DIFFUSE), (std::vector<float>{1, 0, 0, 0.5f}));
    EXPECT_EQ(lightVector(3, GL_SPECULAR), (std::vector<float>{1, 0, 0, 0.5f}));
    EXPECT_EQ(lightVector(3, GL_POSITION), (std::vector<float>{10, 20, -5, 1}));
    // The ambient colour keeps its default.
    EXPECT_EQ(lightVector(3, GL_AMBIENT), (std::vector<float>{0, 0, 0, 1}));
    float materialSpecular[4] = {0, 0, 0, 0};
    float shininess = 0;
    glGetMaterialfv(GL_FRONT, GL_SPECULAR, materialSpecular);
    glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
    EXPECT_EQ(std::vector<float>(materialSpecular, materialSpecular + 4),
              (std::vector<float>{1, 1, 1, 1}));
    EXPECT_EQ(shininess, 20.0f);
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST(LampsGl, LoadLampsPrintsEachIndexAndEnablesItsLight) {
    disableAllLights();
    std::vector<Lamp> lamps;
    for (int i = 0; i < 3; ++i) {
        Lamp lamp{};
        lamp.index = i;
        lamp.position[0] = (float)i;
        lamp.position[3] = 1;
        lamp.colour[2] = 1;
        lamp.colour[3] = 1;
        lamps.push_back(lamp);
    }
    testing::internal::CaptureStdout();
    loadLamps(lamps);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "Chargement lampe 0 ...\nChargement lampe 1 ...\nChargement lampe 2 ...\n");
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
    EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
    EXPECT_FALSE(glIsEnabled(GL_LIGHT3));
    EXPECT_EQ(lightVector(2, GL_POSITION), (std::vector<float>{2, 0, 0, 1}));
    EXPECT_EQ(lightVector(1, GL_DIFFUSE), (std::vector<float>{0, 0, 1, 1}));
}
