// Loading whole maps without lamps to set up: console log, scene lists, camera, exit statuses.
#include <gtest/gtest.h>

#include "path/camera.h"
#include "path/trajectory_file.h"
#include "scene/map.h"
#include "scene/scene_state.h"
#include "unit/scene/test_files.h"

static const std::string PLAIN_MESH = std::string(triangleMeshUpToOption()) + "0\n";

static const char* const FOUR_POINTS = "path\nPOSITIONS 4\nCURVES 1\nLOOP 0\nSPEED 1\nSTART 0\n"
                                       "0 0 0\n1 0 0\n2 0 0\n3 0 0\n";

// The map file text with the given camera flag, lamp count (records made up) and lists.
static std::string mapText(int anime, int lamps, const std::string& lists) {
    std::string text =
        "lampes (3) : a title\nposition : 1 2 3\ncible : 4 5 6\nanime : " + std::to_string(anime) +
        "\nlampes (" + std::to_string(lamps) + ") :\n";
    for (int i = 0; i < lamps; ++i) {
        text += "position : 0 0 0\ncouleur : 1 1 1\nintensite : 1\n";
    }
    return text + lists;
}

TEST(MapLoad, WholeMapLoadsInFileOrderWithItsConsoleLog) {
    ScratchMap m = enterScratchMap("ile");
    writeTextFile(
        m.dir + "ile.mde",
        mapText(0, 8, "monde (2) :\nsol\nroc\nobjets (2) :\navion\nbateau\narbres (1) :\npin\n"));
    for (const char* mesh : {"sol", "roc", "avion", "bateau", "pin"}) {
        writeTextFile(m.dir + mesh + ".msh", PLAIN_MESH);
    }
    writeTextFile(m.dir + "avion.dpl", FOUR_POINTS);
    writeTextFile(m.dir + "bateau.dpl", FOUR_POINTS);
    objectsLoaded = 0;

    testing::internal::CaptureStdout();
    MapReport report = loadMap("ile");
    std::string out = testing::internal::GetCapturedStdout();

    EXPECT_EQ(out, "Chargement camera ...\n"
                   "Nombre de lampes trop \xe9lev\xe9. Les lampes sont d\xe9sactiv\xe9"
                   "es !\n"
                   "Chargement decor :\n"
                   "\tChargement du mesh map/ile/sol.msh ...\n"
                   "\tChargement du mesh map/ile/roc.msh ...\n"
                   "Chargement objets animes :\n"
                   "\tChargement du mesh map/ile/avion.msh ...\n"
                   "\t\tChargement de la trajectoire map/ile/avion.dpl\n"
                   "\tChargement du mesh map/ile/bateau.msh ...\n"
                   "\t\tChargement de la trajectoire map/ile/bateau.dpl\n"
                   "Chargement arbres :\n"
                   "\tChargement du mesh map/ile/pin.msh ...\n"
                   "Chargement de la map effectue\n");
    EXPECT_TRUE(report.hasObjectsOrTrees);
    EXPECT_FALSE(report.animatedCamera);
    EXPECT_EQ(worldList.size(), 2u);
    ASSERT_EQ(objectList.size(), 2u);
    EXPECT_EQ(objectList[1].path.positions, 4);
    EXPECT_EQ(objectList[1].mesh.vertexCount, 3);
    EXPECT_EQ(treeList.size(), 1u);
    EXPECT_EQ(objectsLoaded, 1);
    EXPECT_EQ(camera.eye.x, 1.0f);
    EXPECT_EQ(camera.cameraPath.target.z, 6.0f);
    EXPECT_EQ(camera.anime, 0);
    leaveScratchMap(m);
}

TEST(MapLoad, WorldOnlyMapKeepsTheStartFrameAndEmptyLists) {
    ScratchMap m = enterScratchMap("plaine");
    writeTextFile(m.dir + "plaine.mde",
                  mapText(2, 0, "monde (1) :\nsol\nobjets (0) :\narbres (0) :\n"));
    writeTextFile(m.dir + "sol.msh", PLAIN_MESH);
    objectsLoaded = 0;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    MapReport report = loadMap("plaine");
    std::string out = testing::internal::GetCapturedStdout();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(out, "Chargement camera ...\nChargement decor :\n"
                   "\tChargement du mesh map/plaine/sol.msh ...\n"
                   "Chargement de la map effectue\n");
    // anime 2 is not an animated camera: no camera.dpl is looked for.
    EXPECT_EQ(err, "");
    EXPECT_FALSE(report.hasObjectsOrTrees);
    EXPECT_FALSE(report.animatedCamera);
    EXPECT_EQ(camera.anime, 2);
    EXPECT_TRUE(objectList.empty());
    EXPECT_TRUE(treeList.empty());
    EXPECT_EQ(objectsLoaded, 0);
    leaveScratchMap(m);
}

TEST(MapLoad, AnimatedCameraLoadsCameraPathSilently) {
    ScratchMap m = enterScratchMap("vol");
    writeTextFile(m.dir + "vol.mde",
                  mapText(1, 0, "monde (0) :\nobjets (0) :\narbres (1) :\npin\n"));
    writeTextFile(m.dir + "pin.msh", PLAIN_MESH);
    writeTextFile(m.dir + "camera.dpl", FOUR_POINTS);
    testing::internal::CaptureStdout();
    MapReport report = loadMap("vol");
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "Chargement camera ...\nChargement arbres :\n"
                   "\tChargement du mesh map/vol/pin.msh ...\n"
                   "Chargement de la map effectue\n");
    EXPECT_TRUE(report.animatedCamera);
    EXPECT_TRUE(report.hasObjectsOrTrees);
    EXPECT_EQ(camera.cameraPath.positions, 4);
    ASSERT_NE(camera.cameraPath.firstPoint, nullptr);
    // The path's target is reset by the trajectory load: the map's "cible" does not survive.
    EXPECT_EQ(camera.cameraPath.target.z, 0.0f);
    EXPECT_EQ(camera.cameraPath.currentPoint, camera.cameraPath.firstPoint);
    freeTrajectory(&camera.cameraPath);
    leaveScratchMap(m);
}

TEST(MapLoad, MissingObjectTrajectoryIsReportedOnceAndLeftEmpty) {
    ScratchMap m = enterScratchMap("nuit");
    writeTextFile(m.dir + "nuit.mde",
                  mapText(0, 0, "monde (0) :\nobjets (1) :\nchat\narbres (0) :\n"));
    writeTextFile(m.dir + "chat.msh", PLAIN_MESH);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    MapReport report = loadMap("nuit");
    testing::internal::GetCapturedStdout();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "map/nuit/chat.dpl: No such file or directory\n");
    EXPECT_TRUE(report.hasObjectsOrTrees);
    ASSERT_EQ(objectList.size(), 1u);
    EXPECT_EQ(objectList[0].path.firstPoint, nullptr);
    EXPECT_EQ(objectList[0].path.currentPoint, nullptr);
    EXPECT_EQ(objectList[0].path.positions, 0);
    leaveScratchMap(m);
}

TEST(MapLoadDeathTest, MissingMapEndsWithStatusZero) {
    ScratchMap m = enterScratchMap("vide");
    EXPECT_EXIT(loadMap("absente"), testing::ExitedWithCode(0),
                "^map/absente/absente.mde: No such file or directory\n$");
    leaveScratchMap(m);
}

TEST(MapLoadDeathTest, MissingMeshEndsWithStatusOne) {
    ScratchMap m = enterScratchMap("trou");
    writeTextFile(m.dir + "trou.mde",
                  mapText(0, 0, "monde (1) :\nsol\nobjets (0) :\narbres (0) :\n"));
    EXPECT_EXIT(loadMap("trou"), testing::ExitedWithCode(1),
                "^map/trou/sol.msh: No such file or directory\n$");
    leaveScratchMap(m);
}

TEST(MapLoadDeathTest, BrokenMapEndsWithStatusOneBeforeLoadingAnything) {
    ScratchMap m = enterScratchMap("casse");
    writeTextFile(m.dir + "casse.mde",
                  mapText(0, 0, "monde (1) :\nsol\nobjets (0) :\narbre (0) :\n"));
    EXPECT_EXIT({ loadMap("casse"); }, testing::ExitedWithCode(1),
                "^map/casse/casse.mde:9: error: expected \"arbres\", found \"arbre\"\n$");
    leaveScratchMap(m);
}

TEST(MapLoadDeathTest, BrokenObjectTrajectoryEndsWithStatusOne) {
    ScratchMap m = enterScratchMap("bris");
    writeTextFile(m.dir + "bris.mde",
                  mapText(0, 0, "monde (0) :\nobjets (1) :\nchat\narbres (0) :\n"));
    writeTextFile(m.dir + "chat.msh", PLAIN_MESH);
    writeTextFile(m.dir + "chat.dpl",
                  "t\nPOSITIONS 1\nCURVES 1\nLOOP 0\nSPEED 1\nSTART 0\n0 0 zero\n");
    EXPECT_EXIT(loadMap("bris"), testing::ExitedWithCode(1),
                "map/bris/chat.dpl:7: error: expected a number, found \"zero\"\n$");
    leaveScratchMap(m);
}
