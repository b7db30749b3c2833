// Whole maps in a real GL context: lamps up to the limit, refused past it, mesh textures.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "scene/map.h"
#include "scene/mesh_file.h"
#include "scene/scene_state.h"
#include "scene/texture.h"
#include "unit/scene/test_files.h"

static const std::string PLAIN_MESH = triangleMeshUpToOption();

// A map with `lamps` lamp records (lamp i red with intensity i / 10) and one world mesh.
static std::string mapWithLamps(int lamps) {
    std::string text = "titre\nposition : 0 0 0\ncible : 0 0 0\nanime : 0\nlampes (" +
                       std::to_string(lamps) + ") :\n";
    for (int i = 0; i < lamps; ++i) {
        text += "position : " + std::to_string(i) + " 5 0\ncouleur : 1 0 0\nintensite : 0." +
                std::to_string(i) + "\n";
    }
    return text + "monde (1) :\nsol\nobjets (0) :\narbres (0) :\n";
}

static void disableAllLights() {
    for (int i = 0; i < 8; ++i) {
        glDisable(GL_LIGHT0 + i);
    }
}

TEST(MapGl, SevenLampsAreAllSetUp) {
    ScratchMap m = enterScratchMap("sept");
    writeTextFile(m.dir + "sept.mde", mapWithLamps(7));
    writeTextFile(m.dir + "sol.msh", PLAIN_MESH + "0\n");
    disableAllLights();
    testing::internal::CaptureStdout();
    loadMap("sept");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Chargement camera ...\n"
                   "Chargement lampe 0 ...\nChargement lampe 1 ...\nChargement lampe 2 ...\n"
                   "Chargement lampe 3 ...\nChargement lampe 4 ...\nChargement lampe 5 ...\n"
                   "Chargement lampe 6 ...\n"
                   "Chargement decor :\n\tChargement du mesh map/sept/sol.msh ...\n"
                   "Chargement de la map effectue\n");
    for (int i = 0; i < 7; ++i) {
        EXPECT_TRUE(glIsEnabled(GL_LIGHT0 + i)) << i;
        float diffuse[4];
        glGetLightfv(GL_LIGHT0 + i, GL_DIFFUSE, diffuse);
        EXPECT_FLOAT_EQ(diffuse[3], i / 10.0f) << i;
    }
    EXPECT_FALSE(glIsEnabled(GL_LIGHT7));
    EXPECT_EQ(worldList.size(), 1u);
    leaveScratchMap(m);
}

TEST(MapGl, EightLampsSetUpNoneAndTheMapStillLoads) {
    ScratchMap m = enterScratchMap("huit");
    writeTextFile(m.dir + "huit.mde", mapWithLamps(8));
    writeTextFile(m.dir + "sol.msh", PLAIN_MESH + "0\n");
    disableAllLights();
    testing::internal::CaptureStdout();
    loadMap("huit");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Chargement camera ...\n"
                   "Nombre de lampes trop \xe9lev\xe9. Les lampes sont d\xe9sactiv\xe9"
                   "es !\n"
                   "Chargement decor :\n\tChargement du mesh map/huit/sol.msh ...\n"
                   "Chargement de la map effectue\n");
    for (int i = 0; i < 8; ++i) {
        EXPECT_FALSE(glIsEnabled(GL_LIGHT0 + i)) << i;
    }
    EXPECT_EQ(worldList.size(), 1u);
    leaveScratchMap(m);
}

// Writes a 2 x 2 true-colour Targa picture.
static void writeSmallTarga(const std::string& path) {
    std::string tga(18, '\0');
    tga[2] = 2;
    tga[12] = 2;
    tga[14] = 2;
    tga[16] = 24;
    tga += std::string(12, '\x80');
    writeTextFile(path, tga);
}

TEST(MeshGl, TexturedMeshGetsItsPictureAndAFailedPictureKeepsTheUvSection) {
    initImageLibrary();
    ScratchMap m = enterScratchMap("tex");
    std::string uv = "\nuv mapping (1) :\n0,0 1,0 0,1\n";
    writeTextFile(m.dir + "bon.msh", PLAIN_MESH + "16\ntexture : mur.tga" + uv);
    writeTextFile(m.dir + "mauvais.msh", PLAIN_MESH + "112\ntexture : absent.tga" + uv);
    writeSmallTarga("textures/mur.tga");

    testing::internal::CaptureStdout();
    Mesh good = loadMesh("map/tex/bon.msh");
    Mesh bad = loadMesh("map/tex/mauvais.msh");
    std::string out = testing::internal::GetCapturedStdout();

    EXPECT_EQ(good.textured, 1);
    EXPECT_NE(good.texture, 0u);
    EXPECT_TRUE(glIsTexture(good.texture));
    EXPECT_EQ(bad.textured, 0);
    EXPECT_EQ(bad.faceUVs, (std::vector<float>{0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(bad.emitsParticles, 1);
    EXPECT_EQ(out, "\tChargement du mesh map/tex/bon.msh ...\n"
                   "\t\tChargement de la texture textures/mur.tga ...\n"
                   "\tChargement du mesh map/tex/mauvais.msh ...\n"
                   "\t\tChargement de la texture textures/absent.tga ...\n"
                   "textures/absent.tga : probl\xe8"
                   "me lors du chargement de la texture --> texture d\xe9sactiv\xe9"
                   "e !\n");
    leaveScratchMap(m);
}
