// Scenes built in memory turned into a map's records: objects move through their keys at the
// right seconds as the player plays them, turns bake and split into the player's two angles,
// broken data is left out and reported, lamps and camera as the player can show them.
#include <cmath>

#include "import/map_writers.h"
#include "path/playback.h"
#include "path/trajectory_file.h"
#include "scene/map_file.h"
#include "base/text_reader.h"
#include "scene_maker.h"

// The player's transform of a mesh vertex: translate, x about x, z about z, -30 about y.
static aiVector3D drawnAt(const Trajectory& path, const aiVector3D& v) {
    aiMatrix4x4 x, z, y, t;
    aiMatrix4x4::RotationX(path.target.x * DEG, x);
    aiMatrix4x4::RotationZ(path.target.z * DEG, z);
    aiMatrix4x4::RotationY(-30 * DEG, y);
    aiMatrix4x4::Translation(aiVector3D(path.position.x, path.position.y, path.position.z), t);
    return t * x * z * y * v;
}

// The written path read back and played by the player's own playback to `seconds`.
static Trajectory playTo(const PathOut& out, float seconds) {
    TextReader reader;
    readerFromText(reader, "o.dpl", pathText(out));
    Trajectory path;
    EXPECT_TRUE(parseTrajectory(reader, path));
    for (float t = 0; t < seconds - 1e-4f; t += 0.05f)
        advanceTrajectory(0.05f, &path);
    evaluateTrajectory(&path);
    return path;
}

// The map written and read back by the player's own reader.
static MapFile readMap(const MapOut& out) {
    TextReader reader;
    readerFromText(reader, "m.mde", mapText(out));
    MapFile in;
    EXPECT_TRUE(parseMapFile(reader, in)) << reader.error;
    EXPECT_EQ(in.sectionsRead, 5);
    return in;
}

static std::vector<std::string> names(const std::vector<MapEntry>& entries) {
    std::vector<std::string> out;
    for (const MapEntry& e : entries)
        out.push_back(e.name);
    return out;
}

// Every second of the keys, the drawn vertices are where the node's transform puts them (its
// rest scale kept), and the angles run on from second to second without a jump.
TEST(Convert, AnObjectIsWhereItsNodeIsAtEverySecondOfItsKeys) {
    aiQuaternion still;
    aiQuaternion pitch(aiVector3D(1, 0, 0), 80 * DEG), roll(aiVector3D(0, 0, 1), -40 * DEG);
    auto aboutZ = [](float degrees) { return aiQuaternion(aiVector3D(0, 0, 1), degrees * DEG); };
    struct Case {
        std::vector<aiVector3D> places;
        std::vector<aiQuaternion> turns;
        aiVector3D scale;
    } cases[] = {
        {{{0, 0, 0}, {4, 0, 0}, {4, 2, -6}}, {}, {1, 1, 1}},
        {{{1, 2, 3}, {1, 2, 3}}, {still, pitch}, {1, 1, 1}},
        {{{0, 0, 0}, {0, 5, 0}, {2, 5, 0}}, {still, roll, pitch * roll}, {1, 1, 1}},
        // A roll past a quarter turn, then a half turn: no turn about the vertical axis.
        {{{0, 0, 0}}, {aboutZ(0), aboutZ(60), aboutZ(120), aboutZ(180), aboutZ(240)}, {1, 1, 1}},
        {{{0, 0, 0}, {3, 0, 0}},
         {aboutZ(90), aiQuaternion(aiVector3D(1, 0, 0), 30 * DEG) * aboutZ(90)},
         {1, 1, 1}},
        {{{0, 0, 0}, {0, 0, 0}}, {aboutZ(45), aboutZ(45)}, {4, 0.4f, 0.4f}}, // a scaled bar
    };
    for (const Case& c : cases) {
        auto scene = makeScene({{"ground", unitTriangle()},
                                {"bird", makeMesh({{1, 0, 0}, {0, 2, 0}, {0, 0, 3}}, {0, 1, 2})}});
        scene->mRootNode->mChildren[1]->mTransformation = composeTRS({}, {}, c.scale);
        animate(*scene, {{"bird", c.places, c.turns}});
        ImportedScene out = convert(*scene);
        ASSERT_EQ(out.map.objects, (std::vector<std::string>{"bird", WHITE_OBJECT}));
        ASSERT_EQ(out.map.worlds, std::vector<std::string>{"ground"});
        const ImportedMesh& bird = out.meshes[1];
        const std::vector<float>& v = bird.path.values;
        size_t keys = std::max(c.places.size(), c.turns.size());
        EXPECT_EQ(v.size() / 6, keys + 2); // one point a second and two ends
        aiVector3D local[3] = {{1, 0, 0}, {0, 2, 0}, {0, 0, 3}};
        for (size_t second = 0; second < keys; second++) {
            Trajectory path = playTo(bird.path, (float)second);
            aiMatrix4x4 world =
                aiMatrix4x4(aiVector3D(1),
                            c.turns.empty() ? still : c.turns[std::min(second, c.turns.size() - 1)],
                            c.places[std::min(second, c.places.size() - 1)]) *
                aiMatrix4x4(aiMatrix3x3(c.scale.x, 0, 0, 0, c.scale.y, 0, 0, 0, c.scale.z));
            for (int k = 0; k < 3; k++) {
                aiVector3D drawn = drawnAt(path, at(bird.mesh.vertices.data(), k, 3));
                EXPECT_NEAR((drawn - world * local[k]).Length(), 0, 2e-3f) << second << " " << k;
            }
            EXPECT_LT(std::fabs(v[6 * second + 9] - v[6 * second + 3]), 90) << second;
            EXPECT_LT(std::fabs(v[6 * second + 11] - v[6 * second + 5]), 90) << second;
            freeTrajectory(&path);
        }
        EXPECT_FALSE(noted(out, "vertical axis"));
    }
}

// The end points continue the line, so even the first and last seconds run at 4 units/s.
TEST(Convert, AStraightMoveKeepsItsSpeedFromTheFirstKeyToTheLast) {
    auto scene = makeScene({{"car", unitTriangle()}});
    animate(*scene, {{"car", {{0, 0, 0}, {4, 0, 0}, {8, 0, 0}}, {}}});
    ImportedScene out = convert(*scene);
    for (float seconds : {0.25f, 0.5f, 1.25f, 1.75f, 2.0f, 3.0f}) {
        Trajectory path = playTo(out.meshes[0].path, seconds);
        EXPECT_NEAR(path.position.x, 4 * std::min(seconds, 2.0f), 1e-3f) << seconds;
        freeTrajectory(&path);
    }
}

// Broken meshes, a key, camera or lamp that is not a number, a node squashed to nothing: left
// out or held, and said; a scene with nothing left is refused. Names come out safe and unique.
TEST(Convert, BrokenDataIsLeftOutAndSaidAndNamesAreSafe) {
    aiMesh* broken = makeMesh({{0, 0, 0}, {1, 0, 0}, {NAN, 0, 0}, {0, 1, 0}, {0, INFINITY, 1}},
                              {0, 1, 3, 0, 1, 2, 0, 1, 5, 3, 4, 0});
    aiMesh* lines = makeMesh({{0, 0, 0}, {1, 1, 1}, {0, 0, 0}}, {0, 1, 2});
    lines->mFaces[0].mNumIndices = 2;
    const std::string longName(45, 'n'); // cut to 40, with room for its number
    std::vector<std::pair<const char*, aiMesh*>> parts = {
        {"broken", broken}, {"lines", lines}, {"empty", new aiMesh()}};
    for (const char* name : {"a", "flat", "a b/c", "a b/c", "camera", "", WHITE_OBJECT,
                             longName.c_str(), longName.c_str()})
        parts.push_back({name, unitTriangle()});
    auto scene = makeScene(parts);
    scene->mRootNode->mChildren[4]->mTransformation =
        aiMatrix4x4(aiMatrix3x3(0, 0, 0, 0, 0, 0, 0, 0, 0));
    animate(*scene, {{"a", {{1, 0, 0}, {NAN, 0, 0}, {3, 0, 0}}, {}}});
    addCamera(*scene, aiMatrix4x4(), {NAN, 0, 0});
    scene->mNumLights = 1;
    aiLight* bulb = *(scene->mLights = new aiLight* [1] { new aiLight() });
    bulb->mName = "bulb", bulb->mType = aiLightSource_POINT;
    bulb->mPosition = {0, INFINITY, 0}, bulb->mColorDiffuse = aiColor3D(1, 1, 1);
    ImportedScene out = convert(*scene, "s.dae", 1, false);
    std::vector<std::string> names; // safe and unique
    for (const ImportedMesh& m : out.meshes)
        names.push_back(m.name);
    EXPECT_EQ(names, (std::vector<std::string>{"broken", "a", "a_b_c", "a_b_c_2", "camera_2",
                                               "mesh", "skarn-white_2", std::string(40, 'n'),
                                               std::string(38, 'n') + "_2"}));
    EXPECT_EQ(out.meshes[0].mesh.faces, (std::vector<int>{0, 1, 3}));
    for (float value : out.meshes[0].mesh.vertices)
        EXPECT_TRUE(std::isfinite(value));
    EXPECT_NEAR(at(out.meshes[1].path.values.data(), 2).x, 1, 1e-5f); // second 1 holds second 0
    for (const char* note :
         {"mesh broken: 0 points or lines, 1 faces naming missing vertices and 2 positions",
          "mesh lines has only points or lines: skipped", "mesh empty has no usable triangle",
          "node a has keys that are not numbers: the last good value is held",
          "node flat has a transform that is zero or not numbers: left out",
          "camera eye is at a place or looks a way that is not a number",
          "light bulb is at a place that is not a number: left out"})
        EXPECT_TRUE(noted(out, note)) << note;
    EXPECT_TRUE(out.map.lamps.empty());
    for (float v : out.cameraPath.values)
        ASSERT_TRUE(std::isfinite(v));
    auto nothing = makeScene({{"nothing", new aiMesh()}});
    std::string reason;
    EXPECT_FALSE(convertScene(*nothing, ImportOptions{}, out, reason));
    EXPECT_EQ(reason, "the scene has no mesh of triangles");
}

// Of nine lamps the seven strongest are kept, as the player reads them; a scene without camera
// keys is framed whole; a keyed camera flies through its keys.
TEST(Convert, TheSevenStrongestLampsAndTheCamera) {
    auto still =
        makeScene({{"ground", makeMesh({{-10, 0, -10}, {10, 0, -10}, {0, 4, 10}}, {0, 1, 2})}});
    still->mNumLights = 9;
    still->mLights = new aiLight*[9];
    for (int i = 0; i < 9; i++) {
        aiLight* light = still->mLights[i] = new aiLight();
        light->mName = "lamp" + std::to_string(i);
        light->mType = aiLightSource_POINT;
        light->mPosition = aiVector3D((float)i, 0, 0);
        light->mColorDiffuse = aiColor3D(0.1f * i, 0.05f * i, 0); // lamp8 the strongest
    }
    ImportedScene framed = convert(*still);
    MapFile in = readMap(framed.map);
    ASSERT_EQ(in.lampCount, 7);
    EXPECT_FLOAT_EQ(in.lamps[0].position[0], 8);
    EXPECT_FLOAT_EQ(in.lamps[0].colour[1], 0.5f);
    EXPECT_FLOAT_EQ(in.lamps[0].colour[3], 0.8f);
    EXPECT_TRUE(noted(framed, "light lamp0 gives no light"));
    EXPECT_TRUE(noted(framed, "light lamp1 left out: the player lights at most 7"));
    EXPECT_EQ(in.camera.anime, 1);
    EXPECT_EQ(framed.cameraPath.values.size() / 6, 100u); // the whole scene
    EXPECT_NEAR(in.camera.target.y, 2, 1e-4f);            // the box's centre
    EXPECT_GT(in.camera.eye.z, 10);

    auto flying = makeScene({{"ground", unitTriangle()}});
    addCamera(*flying, aiMatrix4x4(), {});
    animate(*flying, {{"eye", {{0, 0, 0}, {0, 0, -3}, {0, 0, -9}}, {}}});
    ImportedScene out = convert(*flying);
    ASSERT_GE(out.cameraPath.values.size() / 6, 100u);
    for (int second : {0, 1, 2, 50}) {
        Trajectory path = playTo(out.cameraPath, (float)second);
        float z = second == 0 ? 0 : (second == 1 ? -3 : -9);
        EXPECT_NEAR(path.position.z, z, 1e-4f) << second;
        EXPECT_NEAR(path.target.z, z - 10, 1e-4f) << second; // looking down -z
        freeTrajectory(&path);
    }
}

// Meshes a, b, ... each given as letters (t textured, b blended, o opaque mode, m moving, p
// named as a particle emitter), converted and placed with one picture, with alpha if `alpha`.
static ImportedScene placed(const std::vector<std::string>& parts, bool alpha) {
    std::vector<std::string> names;
    for (size_t i = 0; i < parts.size(); i++)
        names.push_back(std::string(1, (char)('a' + i)) +
                        (parts[i].find('p') != std::string::npos ? "_Particles" : ""));
    std::vector<std::pair<const char*, aiMesh*>> meshes;
    std::vector<Keys> keys;
    for (size_t i = 0; i < parts.size(); i++) {
        meshes.push_back({names[i].c_str(), unitTriangle()});
        if (parts[i].find('m') != std::string::npos)
            keys.push_back({names[i].c_str(), {{0, 0, 0}, {1, 0, 0}}, {}});
    }
    auto scene = makeScene(meshes);
    if (!keys.empty())
        animate(*scene, keys);
    ImportedScene out = convert(*scene, "", 1, false);
    out.pictures.resize(1);
    for (size_t i = 0; i < parts.size(); i++) {
        ImportedMesh& m = out.meshes[i];
        m.picture = parts[i].find('t') != std::string::npos ? 0 : -1;
        m.blended = parts[i].find('b') != std::string::npos;
        m.opaqueMode = parts[i].find('o') != std::string::npos;
        m.mesh.faceUVs.assign(6, 0.5f);
    }
    placeMeshes(out, {"p.tga"}, {alpha});
    return out;
}

// Untextured meshes come last and a white object ends the objects when one is needed; see-through
// still meshes with a picture are trees.
TEST(Convert, MeshesGoToTheListsTheirPictureMaterialAndMotionAsk) {
    const std::string W = WHITE_OBJECT;
    struct Case {
        std::vector<std::string> parts;
        bool alpha;
        std::vector<std::string> worlds, objects, trees;
        int option; // of the first mesh
    } cases[] = {
        // A world alone would show only the logo: the white object makes the scene frame run.
        {{"t"}, false, {"a"}, {W}, {}, 16},
        {{"tb"}, false, {}, {}, {"a"}, 16},
        {{"t"}, true, {}, {}, {"a"}, 16},
        {{"to"}, true, {"a"}, {W}, {}, 16},
        {{"tbmp"}, false, {}, {"a_Particles"}, {}, 80},
        {{"tp"}, false, {"a_Particles"}, {W}, {}, 16},
        {{"t", "tm"}, false, {"a"}, {"b"}, {}, 16},
        // An untextured world mesh leaves its colour: a white object resets it before "d".
        {{"", "t", "m", "tm"}, false, {"b", "a"}, {W + "-2", "d", "c", W}, {}, 0},
        {{"t", "m", "tm"}, false, {"a"}, {"c", "b", W}, {}, 16},
    };
    for (const Case& c : cases) {
        ImportedScene out = placed(c.parts, c.alpha);
        MapFile in = readMap(out.map);
        EXPECT_EQ(names(in.worlds), c.worlds) << c.parts[0];
        EXPECT_EQ(names(in.objects), c.objects) << c.parts[0];
        EXPECT_EQ(names(in.trees), c.trees) << c.parts[0];
        EXPECT_EQ(out.meshes[0].mesh.option, c.option) << c.parts[0];
        EXPECT_EQ(out.meshes[0].mesh.texture, c.option ? "p.tga" : "") << c.parts[0];
        const ImportedMesh& last = out.meshes.back();
        if (last.name == WHITE_OBJECT) {
            EXPECT_EQ(last.mesh.color[0] + last.mesh.color[1] + last.mesh.color[2], 3);
            EXPECT_EQ(last.mesh.vertices, std::vector<float>(9, 0)); // draws nothing
        }
    }
}

TEST(Convert, TreesAreListedFarthestFromTheEyeFirst) {
    ImportedScene scene;
    scene.map.eye[0] = 8;
    for (float x : {1, 10, 5}) { // 7, 2 and 3 from the eye
        ImportedMesh tree;
        tree.name = x == 1 ? "a" : x == 10 ? "b" : "c";
        tree.picture = 0, tree.blended = true;
        tree.mesh.vertices = {x, 0, 0, x, 0, 0, x, 0, 0};
        scene.meshes.push_back(tree);
    }
    placeMeshes(scene, {"leaves.tga"}, {true});
    EXPECT_EQ(names(readMap(scene.map).trees), (std::vector<std::string>{"a", "c", "b"}));
}
