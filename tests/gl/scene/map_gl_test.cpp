// Whole maps in a real GL context: the lights and material lamps leave, none past seven lamps,
// and mesh textures loaded or refused.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "scene/map.h"
#include "scene/mesh_file.h"
#include "scene/scene_state.h"
#include "scene/texture.h"
#include "unit/scene/test_files.h"

static std::vector<float> lightVector(int index, GLenum what) {
    float v[4] = {-1, -1, -1, -1};
    glGetLightfv(GL_LIGHT0 + index, what, v);
    return std::vector<float>(v, v + 4);
}

TEST(MapGl, SevenLampsAreSetUpAndEightNone) {
    for (int lamps : {7, 8}) {
        // Lamp i: at (i, 5, -i), red with intensity i / 10.
        std::string text = "titre\nposition : 0 0 0\ncible : 0 0 0\nanime : 0\nlampes (" +
                           std::to_string(lamps) + ") :\n";
        std::string log = "Chargement camera ...\n";
        for (int i = 0; i < lamps; ++i) {
            text += "position : " + std::to_string(i) + " 5 -" + std::to_string(i) +
                    "\ncouleur : 1 0 0\nintensite : 0." + std::to_string(i) + "\n";
            log += "Chargement lampe " + std::to_string(i) + " ...\n";
        }
        if (lamps > 7) {
            log = "Chargement camera ...\nNombre de lampes trop \xe9lev\xe9. Les lampes sont "
                  "d\xe9sactiv\xe9"
                  "es !\n";
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
        testing::internal::CaptureStdout();
        loadMap("m");
        EXPECT_EQ(testing::internal::GetCapturedStdout(),
                  log + "Chargement decor :\n\tChargement du mesh map/m/sol.msh ...\n"
                        "Chargement de la map effectue\n");
        for (int i = 0; i < 8; ++i) {
            ASSERT_EQ(glIsEnabled(GL_LIGHT0 + i), i < lamps && lamps <= 7) << lamps << " " << i;
        }
        EXPECT_EQ(worldList.size(), 1u);
        float shininess = -1, specular[4] = {0, 0, 0, 0};
        glGetMaterialfv(GL_FRONT, GL_SHININESS, &shininess);
        glGetMaterialfv(GL_FRONT, GL_SPECULAR, specular);
        EXPECT_EQ(shininess, lamps > 7 ? 0.0f : 20.0f);
        EXPECT_EQ(std::vector<float>(specular, specular + 4),
                  (std::vector<float>(4, lamps > 7 ? 0.0f : 1.0f)));
        // The colour with the intensity as alpha gives diffuse and specular; the ambient colour
        // keeps its default; the position is a point.
        for (int i = 0; i < lamps && lamps <= 7; ++i) {
            std::vector<float> colour{1, 0, 0, i / 10.0f};
            EXPECT_EQ(lightVector(i, GL_DIFFUSE), colour) << i;
            EXPECT_EQ(lightVector(i, GL_SPECULAR), colour) << i;
            EXPECT_EQ(lightVector(i, GL_POSITION), (std::vector<float>{(float)i, 5, -(float)i, 1}));
            EXPECT_EQ(lightVector(i, GL_AMBIENT), (std::vector<float>{0, 0, 0, 1})) << i;
        }
        leaveScratchMap(m);
    }
    EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
}

TEST(MeshGl, TexturedMeshGetsItsPictureAndAFailedPictureKeepsTheUvSection) {
    initImageLibrary();
    ScratchMap m = enterScratchMap("tex");
    std::string uv = "\nuv mapping (1) :\n0,0 1,0 0,1\n";
    writeTextFile(m.dir + "bon.msh", triangleMeshUpToOption() + "16\ntexture : mur.tga" + uv);
    writeTextFile(m.dir + "mauvais.msh",
                  triangleMeshUpToOption() + "112\ntexture : absent.tga" + uv);
    std::string tga(18, '\0'); // 2 x 2, true colour
    tga[2] = 2;
    tga[12] = tga[14] = 2;
    tga[16] = 24;
    writeTextFile("textures/mur.tga", tga + std::string(12, '\x80'));

    testing::internal::CaptureStdout();
    Mesh good = loadMesh("map/tex/bon.msh");
    Mesh bad = loadMesh("map/tex/mauvais.msh");
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "\tChargement du mesh map/tex/bon.msh ...\n"
              "\t\tChargement de la texture textures/mur.tga ...\n"
              "\tChargement du mesh map/tex/mauvais.msh ...\n"
              "\t\tChargement de la texture textures/absent.tga ...\n"
              "textures/absent.tga : probl\xe8"
              "me lors du chargement de la texture --> texture d\xe9sactiv\xe9"
              "e !\n");
    EXPECT_EQ(good.textured, 1);
    EXPECT_TRUE(glIsTexture(good.texture));
    EXPECT_EQ(bad.textured, 0);
    EXPECT_EQ(bad.faceUVs, (std::vector<float>{0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(bad.emitsParticles, 1);
    leaveScratchMap(m);
}
