// Scenes built in memory turned into a map's records: objects move through their keys at the
// right seconds as the player plays them, turns bake and split into the player's two angles,
// broken data is left out and reported, lamps and camera as the player can show them.
#include <cmath>

#include <gtest/gtest.h>

#include "import/map_writers.h"
#include "import/scene_convert.h"
#include "path/playback.h"
#include "path/trajectory_file.h"
#include "base/text_reader.h"
#include "scene_maker.h"

static const float DEG = 3.1415926535898f / 180;

static ImportedScene convert(const aiScene& scene, float scale = 1) {
    ImportOptions options;
    options.scale = scale;
    options.mapName = "m";
    ImportedScene out;
    std::string reason;
    EXPECT_TRUE(convertScene(scene, options, out, reason)) << reason;
    placeMeshes(out, {}, {});
    return out;
}

static bool hasNote(const ImportedScene& scene, const std::string& part) {
    for (const std::string& note : scene.notes) {
        if (note.find(part) != std::string::npos)
            return true;
    }
    return false;
}

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

TEST(Convert, AnObjectIsWhereItsNodeIsAtEverySecondOfItsKeys) {
    aiQuaternion still;
    aiQuaternion pitch(aiVector3D(1, 0, 0), 80 * DEG), roll(aiVector3D(0, 0, 1), -40 * DEG);
    aiQuaternion both = pitch * roll;
    auto aboutZ = [](float degrees) { return aiQuaternion(aiVector3D(0, 0, 1), degrees * DEG); };
    struct Case {
        std::vector<aiVector3D> places;
        std::vector<aiQuaternion> turns;
        aiQuaternion rest;
    } cases[] = {
        {{{0, 0, 0}, {4, 0, 0}, {4, 2, -6}}, {}, still},
        {{{1, 2, 3}, {1, 2, 3}}, {still, pitch}, still},
        {{{0, 0, 0}, {0, 5, 0}, {2, 5, 0}}, {still, roll, both}, still},
        // A roll past a quarter turn, then a half turn: no turn about the vertical axis.
        {{{0, 0, 0}}, {aboutZ(0), aboutZ(60), aboutZ(120), aboutZ(180), aboutZ(240)}, still},
        {{{0, 0, 0}, {3, 0, 0}},
         {aiQuaternion(aiVector3D(0, 0, 1), 90 * DEG),
          aiQuaternion(aiVector3D(1, 0, 0), 30 * DEG) *
              aiQuaternion(aiVector3D(0, 0, 1), 90 * DEG)},
         still},
    };
    for (const Case& c : cases) {
        auto scene = makeScene({{"ground", unitTriangle()},
                                {"bird", makeMesh({{1, 0, 0}, {0, 2, 0}, {0, 0, 3}}, {0, 1, 2})}});
        animate(*scene, {{"bird", c.places, c.turns}});
        ImportedScene out = convert(*scene);
        ASSERT_EQ(out.map.objects, (std::vector<std::string>{"bird", WHITE_OBJECT}));
        ASSERT_EQ(out.map.worlds, std::vector<std::string>{"ground"});
        const ImportedMesh& bird = out.meshes[1];
        size_t keys = std::max(c.places.size(), c.turns.size());
        EXPECT_EQ(bird.path.values.size() / 6, keys + 2); // one point a second and two ends
        aiVector3D local[3] = {{1, 0, 0}, {0, 2, 0}, {0, 0, 3}};
        for (size_t second = 0; second < keys; second++) {
            Trajectory path = playTo(bird.path, (float)second);
            aiMatrix4x4 world(aiVector3D(1),
                              c.turns.empty() ? still
                                              : c.turns[std::min(second, c.turns.size() - 1)],
                              c.places[std::min(second, c.places.size() - 1)]);
            for (int v = 0; v < 3; v++) {
                aiVector3D file(bird.mesh.vertices[3 * v], bird.mesh.vertices[3 * v + 1],
                                bird.mesh.vertices[3 * v + 2]);
                aiVector3D drawn = drawnAt(path, file), wanted = world * local[v];
                EXPECT_NEAR((drawn - wanted).Length(), 0, 2e-3f)
                    << "second " << second << " vertex " << v;
            }
            freeTrajectory(&path);
        }
        EXPECT_FALSE(hasNote(out, "vertical axis"));
    }
}

TEST(Convert, BrokenMeshDataIsLeftOutAndReported) {
    aiMesh* broken = makeMesh({{0, 0, 0}, {1, 0, 0}, {NAN, 0, 0}, {0, 1, 0}, {0, INFINITY, 1}},
                              {0, 1, 3, 0, 1, 2, 0, 1, 5, 3, 4, 0});
    aiMesh* lines = makeMesh({{0, 0, 0}, {1, 1, 1}}, {});
    lines->mNumFaces = 1;
    delete[] lines->mFaces;
    lines->mFaces = new aiFace[1];
    lines->mFaces[0].mNumIndices = 2;
    lines->mFaces[0].mIndices = new unsigned[2]{0, 1};
    aiMesh* empty = new aiMesh();
    auto scene = makeScene({{"broken", broken}, {"lines", lines}, {"empty", empty}});
    ImportedScene out = convert(*scene);
    ASSERT_EQ(out.meshes.size(), 2u); // and the white object
    EXPECT_EQ(out.meshes[0].mesh.faces, (std::vector<int>{0, 1, 3}));
    for (float value : out.meshes[0].mesh.vertices)
        EXPECT_TRUE(std::isfinite(value));
    EXPECT_TRUE(hasNote(
        out, "mesh broken: 0 points or lines, 1 faces naming missing vertices and 2 positions"));
    EXPECT_TRUE(hasNote(out, "mesh lines has only points or lines: skipped"));
    EXPECT_TRUE(hasNote(out, "mesh empty has no usable triangle"));
}

TEST(Convert, ASceneWithoutTrianglesIsRefused) {
    auto scene = makeScene({{"nothing", new aiMesh()}});
    ImportedScene out;
    std::string reason;
    EXPECT_FALSE(convertScene(*scene, ImportOptions{}, out, reason));
    EXPECT_EQ(reason, "the scene has no mesh of triangles");
}

TEST(Convert, TheSevenStrongestLampsAreKept) {
    auto scene = makeScene({{"ground", unitTriangle()}});
    scene->mNumLights = 9;
    scene->mLights = new aiLight*[9];
    for (int i = 0; i < 9; i++) {
        aiLight* light = new aiLight();
        light->mName = "lamp" + std::to_string(i);
        light->mType = aiLightSource_POINT;
        light->mPosition = aiVector3D((float)i, 0, 0);
        light->mColorDiffuse = aiColor3D(0.1f * i, 0.05f * i, 0); // lamp8 the strongest
        scene->mLights[i] = light;
    }
    ImportedScene out = convert(*scene);
    ASSERT_EQ(out.map.lamps.size(), 7u);
    EXPECT_EQ(out.map.lamps[0].position[0], 8);
    EXPECT_FLOAT_EQ(out.map.lamps[0].intensity, 0.8f);
    EXPECT_FLOAT_EQ(out.map.lamps[0].color[1], 0.5f);
    EXPECT_TRUE(hasNote(out, "light lamp0 gives no light"));
    EXPECT_TRUE(hasNote(out, "light lamp1 left out: the player lights at most 7"));
}

TEST(Convert, TheCameraFliesThroughItsKeysOrFramesTheScene) {
    auto still =
        makeScene({{"ground", makeMesh({{-10, 0, -10}, {10, 0, -10}, {0, 4, 10}}, {0, 1, 2})}});
    ImportedScene framed = convert(*still);
    EXPECT_EQ(framed.map.anime, 1);
    EXPECT_EQ(framed.cameraPath.values.size() / 6, 100u); // the whole scene
    EXPECT_NEAR(framed.map.target[1], 2, 1e-4f);          // the box's centre
    EXPECT_GT(framed.map.eye[2], 10);

    auto flying = makeScene({{"ground", unitTriangle()}});
    aiNode* eye = new aiNode("eye");
    flying->mRootNode->addChildren(1, &eye);
    flying->mNumCameras = 1;
    flying->mCameras = new aiCamera* [1] { new aiCamera() };
    flying->mCameras[0]->mName = "eye";
    flying->mCameras[0]->mLookAt = aiVector3D(0, 0, -1); // as glTF cameras look
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

TEST(Convert, MeshesGoToTheListTheirMaterialAndMotionAsk) {
    struct Case {
        bool blended, opaqueMode, pictureAlpha, moves, particlesName;
        const char* list;
        int option;
    } cases[] = {
        {false, false, false, false, false, "monde", 16},
        {true, false, false, false, false, "arbres", 16},
        {false, false, true, false, false, "arbres", 16},
        {false, true, true, false, false, "monde", 16},
        {true, false, false, true, true, "objets", 80},
        {false, false, false, false, true, "monde", 16},
    };
    for (const Case& c : cases) {
        auto scene = makeScene({{c.particlesName ? "plane_Particles" : "plane", unitTriangle()}});
        scene->mMeshes[0]->mTextureCoords[0] = new aiVector3D[3];
        scene->mMeshes[0]->mNumUVComponents[0] = 2;
        if (c.moves)
            animate(*scene,
                    {{c.particlesName ? "plane_Particles" : "plane", {{0, 0, 0}, {1, 0, 0}}, {}}});
        ImportedScene out = convert(*scene);
        out.pictures.resize(1);
        out.meshes[0].picture = 0;
        out.meshes[0].blended = c.blended;
        out.meshes[0].opaqueMode = c.opaqueMode;
        out.meshes[0].mesh.faceUVs.assign(6, 0.5f);
        placeMeshes(out, {"p.tga"}, {c.pictureAlpha});
        const std::string name = out.meshes[0].name;
        auto in = [&](const std::vector<std::string>& list) {
            return list.size() == 1 && list[0] == name;
        };
        std::string list = in(out.map.worlds)    ? "monde"
                           : in(out.map.objects) ? "objets"
                           : in(out.map.trees)   ? "arbres"
                                                 : "?";
        EXPECT_EQ(list, c.list) << c.blended << c.opaqueMode << c.pictureAlpha << c.moves;
        EXPECT_EQ(out.meshes[0].mesh.option, c.option);
        EXPECT_EQ(out.meshes[0].mesh.texture, "p.tga");
    }
}

TEST(Convert, NamesAreSafeAndUnique) {
    const std::string longName(45, 'n'); // cut to 40, with room for its number
    auto scene = makeScene({{"a b/c", unitTriangle()},
                            {"a b/c", unitTriangle()},
                            {"camera", unitTriangle()},
                            {"", unitTriangle()},
                            {WHITE_OBJECT, unitTriangle()},
                            {longName.c_str(), unitTriangle()},
                            {longName.c_str(), unitTriangle()}});
    ImportedScene out = convert(*scene);
    std::vector<std::string> names;
    for (const ImportedMesh& m : out.meshes)
        names.push_back(m.name);
    EXPECT_EQ(names, (std::vector<std::string>{"a_b_c", "a_b_c_2", "camera_2", "mesh",
                                               "skarn-white_2", std::string(40, 'n'),
                                               std::string(38, 'n') + "_2", WHITE_OBJECT}));
}

TEST(Convert, UntexturedMeshesComeLastAndTheWhiteObjectEndsTheObjects) {
    struct Case {
        std::vector<bool> textured, moves;
        std::vector<std::string> worlds, objects;
    } cases[] = {
        // A world alone would show only the logo: the white object makes the scene frame run.
        {{true}, {false}, {"a"}, {WHITE_OBJECT}},
        {{true, true}, {false, true}, {"a"}, {"b"}},
        // An untextured world mesh leaves its colour: a white object resets it before "d".
        {{false, true, false, true},
         {false, false, true, true},
         {"b", "a"},
         {WHITE_OBJECT "-2", "d", "c", WHITE_OBJECT}},
        {{true, false, true}, {false, true, true}, {"a"}, {"c", "b", WHITE_OBJECT}},
    };
    for (const Case& c : cases) {
        std::vector<std::pair<const char*, aiMesh*>> parts;
        const char* names[] = {"a", "b", "c", "d"};
        for (size_t i = 0; i < c.textured.size(); i++)
            parts.push_back({names[i], unitTriangle()});
        auto scene = makeScene(parts);
        std::vector<Keys> keys;
        for (size_t i = 0; i < c.moves.size(); i++) {
            if (c.moves[i])
                keys.push_back({names[i], {{0, 0, 0}, {1, 0, 0}}, {}});
        }
        if (!keys.empty())
            animate(*scene, keys);
        ImportedScene out = convert(*scene);
        out.pictures.resize(1);
        for (size_t i = 0; i < c.textured.size(); i++) {
            out.meshes[i].picture = c.textured[i] ? 0 : -1;
            out.meshes[i].mesh.faceUVs.assign(6, 0);
        }
        placeMeshes(out, {"p.jpg"}, {false});
        EXPECT_EQ(out.map.worlds, c.worlds);
        EXPECT_EQ(out.map.objects, c.objects);
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
    for (const char* name : {"a", "b", "c"}) {
        ImportedMesh tree;
        tree.name = name;
        tree.picture = 0;
        tree.blended = true;
        const float x = name[0] == 'a' ? 1 : name[0] == 'b' ? 10 : 5; // 7, 2 and 3 from the eye
        tree.mesh.vertices = {x, 0, 0, x, 0, 0, x, 0, 0};
        scene.meshes.push_back(tree);
    }
    placeMeshes(scene, {"leaves.tga"}, {true});
    EXPECT_EQ(scene.map.trees, (std::vector<std::string>{"a", "c", "b"}));
}

TEST(Convert, AMirroredNodeKeepsItsFacesOutward) {
    for (float sign : {1.0f, -1.0f}) {
        aiMesh* panel = unitTriangle();
        panel->mNormals = new aiVector3D[3]{{0, 0, 1}, {0, 0, 1}, {0, 0, 1}}; // facing +z
        auto scene = makeScene({{"panel", panel}});
        scene->mRootNode->mChildren[0]->mTransformation =
            aiMatrix4x4(aiVector3D(sign, 1, 1), aiQuaternion(), aiVector3D());
        ImportedScene out = convert(*scene);
        const MeshOut& m = out.meshes[0].mesh;
        auto at = [&](int corner) {
            int v = m.faces[corner];
            return aiVector3D(m.vertices[3 * v], m.vertices[3 * v + 1], m.vertices[3 * v + 2]);
        };
        aiVector3D wound = (at(1) - at(0)) ^ (at(2) - at(0));
        aiVector3D normal(m.normals[0], m.normals[1], m.normals[2]);
        EXPECT_GT(wound * normal, 0) << sign; // counter-clockwise seen from where the normal points
    }
}

TEST(Convert, AStraightMoveKeepsItsSpeedFromTheFirstKeyToTheLast) {
    auto scene = makeScene({{"car", unitTriangle()}});
    animate(*scene, {{"car", {{0, 0, 0}, {4, 0, 0}, {8, 0, 0}}, {}}});
    ImportedScene out = convert(*scene);
    // The end points continue the line, so even the first and last seconds run at 4 units/s.
    for (float seconds : {0.25f, 0.5f, 1.25f, 1.75f, 2.0f, 3.0f}) {
        Trajectory path = playTo(out.meshes[0].path, seconds);
        EXPECT_NEAR(path.position.x, 4 * std::min(seconds, 2.0f), 1e-3f) << seconds;
        freeTrajectory(&path);
    }
}

TEST(Convert, ARollPastAHalfTurnGoesOnTheShortWay) {
    auto scene = makeScene({{"wheel", unitTriangle()}});
    std::vector<aiQuaternion> turns;
    for (int k = 0; k <= 4; k++)
        turns.push_back(aiQuaternion(aiVector3D(0, 0, 1), 60.0f * k * DEG));
    animate(*scene, {{"wheel", {}, turns}});
    ImportedScene out = convert(*scene);
    // Between the keys at 180 and 240 degrees the wheel passes 210, not back through 30.
    Trajectory path = playTo(out.meshes[0].path, 3.5f);
    EXPECT_NEAR(std::cos(path.target.z * DEG), std::cos(210 * DEG), 1e-3f);
    EXPECT_NEAR(std::sin(path.target.z * DEG), std::sin(210 * DEG), 1e-3f);
    EXPECT_NEAR(path.target.x, 0, 1e-3f);
    freeTrajectory(&path);
}
