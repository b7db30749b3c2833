// Loading whole maps without a GL context: console log, scene lists, camera, and the faults
// that end the load with their message and status.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "path/camera.h"
#include "path/trajectory_file.h"
#include "scene/map.h"
#include "scene/scene_state.h"
#include "support/test_files.h"

static const std::string PLAIN_MESH = triangleMeshUpToOption() + "0\n";
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

struct Loaded {
    MapReport report;
    LoadResult result;
    std::string out, err;
};

// Loads map `name` as it stands, with no drawing side and its console captured.
static Loaded loadOnly(const std::string& name) {
    objectsLoaded = 0;
    Loaded l;
    testing::internal::CaptureStderr();
    l.out = printedBy([&] { l.result = loadMap(name, SceneLoadHooks{}, l.report); });
    l.err = testing::internal::GetCapturedStderr();
    return l;
}

// Writes map/<name>/ with its map file, the plain triangle for each of `meshes` and four points
// for each of `paths`, then loads it with its console captured.
static Loaded load(const std::string& name, const std::string& mapFile,
                   const std::vector<std::string>& meshes, const std::vector<std::string>& paths) {
    std::string dir = "map/" + name + "/";
    mkdir(dir.c_str(), 0755);
    writeTextFile(dir + name + ".mde", mapFile);
    for (const std::string& mesh : meshes) {
        writeTextFile(dir + mesh + ".msh", PLAIN_MESH);
    }
    for (const std::string& path : paths) {
        writeTextFile(dir + path + ".dpl", FOUR_POINTS);
    }
    return loadOnly(name);
}

TEST(MapLoad, WholeMapLoadsInFileOrderWithItsConsoleLog) {
    // Eight lamps: none is set up. An object without its trajectory keeps an empty one.
    ScratchMap m = enterScratchMap("ile");
    Loaded l = load(
        "ile", mapText(0, 8, "monde (1) :\nsol\nobjets (2) :\navion\nchat\narbres (1) :\npin\n"),
        {"sol", "avion", "chat", "pin"}, {"avion"});
    EXPECT_EQ(l.out, "Chargement camera ...\n"
                     "Nombre de lampes trop \xe9lev\xe9. Les lampes sont d\xe9sactiv\xe9"
                     "es !\n"
                     "Chargement decor :\n"
                     "\tChargement du mesh map/ile/sol.msh ...\n"
                     "Chargement objets animes :\n"
                     "\tChargement du mesh map/ile/avion.msh ...\n"
                     "\t\tChargement de la trajectoire map/ile/avion.dpl\n"
                     "\tChargement du mesh map/ile/chat.msh ...\n"
                     "\t\tChargement de la trajectoire map/ile/chat.dpl\n"
                     "Chargement arbres :\n"
                     "\tChargement du mesh map/ile/pin.msh ...\n"
                     "Chargement de la map effectue\n");
    EXPECT_EQ(l.err, "map/ile/chat.dpl: No such file or directory\n");
    EXPECT_TRUE(l.report.hasObjectsOrTrees && !l.report.animatedCamera);
    ASSERT_TRUE(worldList.size() == 1 && objectList.size() == 2 && treeList.size() == 1);
    EXPECT_TRUE(objectList[0].path.positions == 4 && objectList[0].mesh.vertexCount == 3);
    EXPECT_TRUE(objectList[1].path.positions == 0 && objectList[1].path.firstPoint == nullptr);
    EXPECT_TRUE(objectsLoaded == 1 && camera.eye.x == 1.0f && camera.cameraPath.target.z == 6.0f);
    leaveScratchMap(m);
}

TEST(MapLoad, OnlyAnimeOneLoadsTheCameraPathWhichResetsTheTarget) {
    ScratchMap m = enterScratchMap("plaine");
    // anime 2 is not an animated camera: no camera.dpl is looked for.
    Loaded l = load("plaine", mapText(2, 0, "monde (1) :\nsol\nobjets (0) :\narbres (0) :\n"),
                    {"sol"}, {});
    EXPECT_TRUE(l.err.empty() && !l.report.hasObjectsOrTrees && !l.report.animatedCamera);
    l = load("vol", mapText(1, 0, "monde (0) :\nobjets (0) :\narbres (1) :\npin\n"), {"pin"},
             {"camera"});
    EXPECT_EQ(l.out, "Chargement camera ...\nChargement arbres :\n"
                     "\tChargement du mesh map/vol/pin.msh ...\n"
                     "Chargement de la map effectue\n");
    EXPECT_TRUE(l.report.animatedCamera && l.report.hasObjectsOrTrees);
    EXPECT_EQ(camera.cameraPath.positions, 4);
    EXPECT_EQ(camera.cameraPath.target.z, 0.0f); // the map's "cible" does not survive
    freeTrajectory(&camera.cameraPath);
    leaveScratchMap(m);
}

// The faults stop the load with their message and status, and nothing reaches standard error (the
// player prints the message; a missing map or mesh is in the end-to-end fault matrix).
TEST(MapLoad, FaultsStopTheLoadWithTheirLineAndStatus) {
    const std::string longName(300, 'm');
    const struct {
        std::string map, mde, msh, dpl, cam; // the map's name, then files of map/m/ when not empty
        int status;
        std::string err; // the whole of stderr
    } cases[] = {
        {longName, "", "", "", "", 0,
         "map/" + longName + "/" + longName + ".mde: File name too long\n"},
        {"m", mapText(0, 0, "monde (0) :\nobjets (0) :\narbre (0) :\n"), "", "", "", 1,
         "map/m/m.mde:8: error: expected \"arbres\", found \"arbre\"\n"},
        {"m", mapText(0, 0, "monde (1) :\nsol\nobjets (0) :\narbres (0) :\n"),
         "vertices (1) :\n0 0 0\nfaces (1) :\n0 0 9\n", "", "", 1,
         "map/m/sol.msh:4: error: face index 9 outside the 1 vertices\n"},
        {"m", mapText(0, 0, "monde (0) :\nobjets (1) :\nsol\narbres (0) :\n"), PLAIN_MESH,
         "t\nPOSITIONS 1\nCURVES 1\nLOOP 0\nSPEED 1\nSTART 0\n0 0 zero\n", "", 1,
         "map/m/sol.dpl:7: error: expected a number, found \"zero\"\n"},
        {"m", mapText(1, 0, "monde (1) :\nsol\nobjets (0) :\narbres (0) :\n"), PLAIN_MESH, "",
         "t\nPOSITIONS 1\nCURVES 1\nLOOP 0\nSPEED 1\nSTART x\n", 1,
         "map/m/camera.dpl:6: error: expected a number, found \"x\"\n"},
    };
    for (const auto& c : cases) {
        ScratchMap m = enterScratchMap("m");
        const std::pair<const char*, const std::string*> files[] = {
            {"m.mde", &c.mde}, {"sol.msh", &c.msh}, {"sol.dpl", &c.dpl}, {"camera.dpl", &c.cam}};
        for (const auto& [file, text] : files) {
            if (!text->empty()) {
                writeTextFile(m.dir + file, *text);
            }
        }
        Loaded l = loadOnly(c.map);
        EXPECT_TRUE(!l.result.ok && l.result.status == c.status && l.err.empty()) << c.err;
        EXPECT_EQ(l.result.message + "\n", c.err);
        leaveScratchMap(m);
    }
}
