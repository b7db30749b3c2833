// Live reload: a hundred reloads give back every texture and list of the scenes they replace,
// and a broken save keeps the scene as it was, its GL names alive. Run under the sanitizers too.
#include <GL/gl.h>
#include <IL/il.h>
#include <fstream>
#include <gtest/gtest.h>

#include "app/reload.h"
#include "path/camera.h"
#include "path/trajectory_file.h"
#include "render/mesh_lists.h"
#include "render/scene_upload.h"
#include "scene/scene_state.h"
#include "support/test_files.h"

namespace {

const char* const MAP = "m.mde";

std::string texturedTriangle(float size) {
    std::string s = std::to_string(size);
    return "vertices (3) :\n0 0 0\n" + s + " 0 0\n0 " + s +
           " 0\nfaces (1) :\n0 1 2\nnormales (3) :\n0 0 1\n0 0 1\n0 0 1\ncouleur : 1 1 1\n"
           "option : 16\ntexture : sol.tga\nuv mapping (1) :\n0,0 1,0 1,1\n";
}

std::string path(int points) {
    std::string text = "p\nPOSITIONS " + std::to_string(points) + "\nCURVES 2\nLOOP 0\n";
    text += "SPEED 1\nSTART 0\n";
    for (int i = 0; i < points; i++) {
        text += std::to_string(i) + " 1 2\n0 0 0\n";
    }
    return text;
}

} // namespace

TEST(ReloadGl, HundredReloadsKeepTheGlNamesFlatAndABrokenSaveKeepsTheScene) {
    ilInit();
    ScratchMap m = enterScratchMap("m");
    const char bgr[18 + 12] = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 2, 0, 24};
    std::ofstream("textures/sol.tga", std::ios::binary) << std::string(bgr, sizeof bgr);
    writeTextFile(m.dir + MAP, "t\nposition : 0 0 0\ncible : 0 0 0\nanime : 1\nlampes (0) :\n"
                               "monde (1) :\nsol\nobjets (1) :\navion\narbres (1) :\nsol\n");
    writeTextFile(m.dir + "sol.msh", texturedTriangle(1));
    writeTextFile(m.dir + "avion.msh", texturedTriangle(2));
    writeTextFile(m.dir + "avion.dpl", path(6));
    writeTextFile(m.dir + "camera.dpl", path(8));
    MapReport report;
    std::string error;
    printedBy([&] { ASSERT_TRUE(loadMap("m", sceneUploadHooks(), report).ok); });
    compileMeshLists();
    for (int i = 0; i < 100; i++) {
        const unsigned int oldList = objectList[0].mesh.displayList;
        const unsigned int oldTextures[] = {worldList[0].texture, objectList[0].mesh.texture,
                                            treeList[0].texture};
        writeTextFile(m.dir + "sol.msh", texturedTriangle(1.0f + i % 3));
        printedBy([&] { ASSERT_TRUE(reloadMap("m", report, error)) << error; });
        ASSERT_EQ(worldList.size(), 1u);
        EXPECT_EQ(worldList[0].vertices[1].x, 1.0f + i % 3);
        EXPECT_FALSE(glIsList(oldList)) << i;
        for (unsigned int old : oldTextures) {
            const bool reused = old == worldList[0].texture || old == objectList[0].mesh.texture ||
                                old == treeList[0].texture;
            EXPECT_TRUE(reused || !glIsTexture(old)) << i << " " << old;
        }
    }
    EXPECT_TRUE(report.animatedCamera && report.hasObjectsOrTrees);
    EXPECT_EQ(camera.cameraPath.positions, 8);

    const unsigned int texture = worldList[0].texture, list = worldList[0].displayList;
    writeTextFile(m.dir + "avion.dpl", "p\nPOSITIONS x\n");
    printedBy([&] { EXPECT_FALSE(reloadMap("m", report, error)); });
    EXPECT_EQ(error.rfind("map/m/avion.dpl:2: ", 0), 0u) << error;
    ASSERT_TRUE(worldList.size() == 1 && objectList.size() == 1);
    EXPECT_TRUE(worldList[0].texture == texture && glIsTexture(texture) && glIsList(list) &&
                objectList[0].path.positions == 6 && camera.cameraPath.positions == 8);

    releaseMeshLists();
    releaseScene();
    freeTrajectory(&camera.cameraPath);
    leaveScratchMap(m);
}
