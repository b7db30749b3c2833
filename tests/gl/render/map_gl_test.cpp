// Whole maps in a real GL context: the lights and material that lamps leave, none past seven.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "render/scene_upload.h"
#include "scene/map.h"
#include "scene/scene_state.h"
#include "support/test_files.h"

static std::vector<float> glVector(void (*get)(GLenum, GLenum, float*), GLenum what, GLenum name) {
    float v[4] = {-1, -1, -1, -1};
    get(what, name, v);
    return std::vector<float>(v, v + 4);
}

// Lamp i at (i, 5, -i), red of intensity i / 10: the colour with the intensity as alpha gives
// diffuse and specular, the ambient keeps its default, the position is a point.
TEST(MapGl, SevenLampsAreSetUpAndEightNone) {
    for (int lamps : {7, 8}) {
        std::string text = "titre\nposition : 0 0 0\ncible : 0 0 0\nanime : 0\nlampes (" +
                           std::to_string(lamps) + ") :\n";
        for (int i = 0; i < lamps; ++i) {
            text += "position : " + std::to_string(i) + " 5 -" + std::to_string(i) +
                    "\ncouleur : 1 0 0\nintensite : 0." + std::to_string(i) + "\n";
        }
        ScratchMap m = enterScratchMap("m");
        writeTextFile(m.dir + "m.mde", text + "monde (1) :\nsol\nobjets (0) :\narbres (0) :\n");
        writeTextFile(m.dir + "sol.msh", triangleMeshUpToOption() + "0\n");
        for (int i = 0; i < 8; ++i) {
            glDisable(GL_LIGHT0 + i);
        }
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        const float black[4] = {0, 0, 0, 0};
        glMaterialfv(GL_FRONT, GL_SPECULAR, black);
        glMaterialf(GL_FRONT, GL_SHININESS, 0);
        MapReport report;
        printedBy([&] { EXPECT_TRUE(loadMap("m", sceneUploadHooks(), report).ok); });
        const bool on = lamps <= 7;
        EXPECT_EQ(glVector(glGetMaterialfv, GL_FRONT, GL_SPECULAR), std::vector<float>(4, on));
        EXPECT_EQ(glVector(glGetMaterialfv, GL_FRONT, GL_SHININESS)[0], on ? 20.0f : 0.0f);
        for (int i = 0; i < 8; ++i) {
            ASSERT_EQ(glIsEnabled(GL_LIGHT0 + i), i < lamps && on) << lamps << " " << i;
            if (i < lamps && on) {
                const std::vector<float> colour{1, 0, 0, i / 10.0f};
                EXPECT_EQ(glVector(glGetLightfv, GL_LIGHT0 + i, GL_DIFFUSE), colour) << i;
                EXPECT_EQ(glVector(glGetLightfv, GL_LIGHT0 + i, GL_SPECULAR), colour) << i;
                EXPECT_EQ(glVector(glGetLightfv, GL_LIGHT0 + i, GL_POSITION),
                          (std::vector<float>{(float)i, 5, -(float)i, 1}));
                EXPECT_EQ(glVector(glGetLightfv, GL_LIGHT0 + i, GL_AMBIENT),
                          (std::vector<float>{0, 0, 0, 1}));
            }
        }
        leaveScratchMap(m);
    }
}
