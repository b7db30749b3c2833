// What other tools write comes in as they showed it: cameras, time, units, transforms, turns,
// colours and normals, pictures where tools put them, and numbers that are not numbers.
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "import/pictures.h"
#include "import/scene_convert.h"
#include "import/scene_motion.h"
#include "scene_maker.h"

static const float DEG = 3.1415926535898f / 180;

static ImportedScene convertFile(const aiScene& scene, const std::string& file) {
    ImportOptions options;
    options.mapName = "m";
    options.sceneFile = file;
    ImportedScene out;
    std::string reason;
    EXPECT_TRUE(convertScene(scene, options, out, reason)) << reason;
    return out;
}

static bool noted(const ImportedScene& scene, const std::string& part) {
    for (const std::string& note : scene.notes)
        if (note.find(part) != std::string::npos)
            return true;
    return false;
}

static aiVector3D at(const std::vector<float>& v, size_t point, size_t stride = 6) {
    return aiVector3D(v[stride * point], v[stride * point + 1], v[stride * point + 2]);
}

// A camera node at (0, 8, 20) pitched down 20 degrees, as glTF and Collada hand it over.
TEST(Fidelity, TheCameraEyeIsItsNodesPlaceInEveryFormat) {
    struct Case {
        const char* file;
        bool positionCopied; // assimp's glTF reader also copies the translation to the camera
    } cases[] = {{"s.glb", true}, {"s.GLTF", true}, {"s.dae", false}};
    for (const Case& c : cases) {
        auto scene = makeScene({{"ground", unitTriangle()}});
        aiNode* eye = new aiNode("eye");
        eye->mTransformation =
            composeTRS({0, 8, 20}, aiQuaternion({1, 0, 0}, -20 * DEG), {1, 1, 1});
        scene->mRootNode->addChildren(1, &eye);
        scene->mNumCameras = 1;
        scene->mCameras = new aiCamera* [1] { new aiCamera() };
        scene->mCameras[0]->mName = "eye";
        scene->mCameras[0]->mLookAt = {0, 0, -1};
        scene->mCameras[0]->mPosition = c.positionCopied ? aiVector3D(0, 8, 20) : aiVector3D();
        ImportedScene out = convertFile(*scene, c.file);
        EXPECT_NEAR(
            (aiVector3D(out.map.eye[0], out.map.eye[1], out.map.eye[2]) - aiVector3D(0, 8, 20))
                .Length(),
            0, 1e-4f)
            << c.file;
        EXPECT_NEAR(out.map.target[1], 8 - 10 * std::sin(20 * DEG), 1e-4f) << c.file;
    }
}

// Keys in three animations (as tools write one per object): the earliest key of all, the
// camera's at 1 s, plays at the scene's start, and every node keeps its offset from it.
TEST(Fidelity, TheEarliestKeyOfTheSceneStartsEveryPath) {
    for (double ticksPerSecond : {1.0, 1000.0}) {
        auto scene = makeScene({{"a", unitTriangle()}, {"b", unitTriangle()}});
        aiNode* eye = new aiNode("eye");
        scene->mRootNode->addChildren(1, &eye);
        scene->mNumCameras = 1;
        scene->mCameras = new aiCamera* [1] { new aiCamera() };
        scene->mCameras[0]->mName = "eye";
        scene->mCameras[0]->mLookAt = {0, 0, -1};
        animate(*scene, {{"a", {{0, 0, 0}, {2, 0, 0}, {4, 0, 0}}, {}}}, 2, ticksPerSecond);
        animate(*scene, {{"b", {{0, 1, 0}, {0, 3, 0}}, {}}}, 4, ticksPerSecond);
        animate(*scene, {{"eye", {{0, 0, 9}, {0, 0, 9}}, {aiQuaternion()}}}, 1, ticksPerSecond);
        scene->mAnimations[2]->mChannels[0]->mRotationKeys[0].mTime = 0; // a constant, at 0 s
        animate(*scene, {{"a", {{9, 9, 9}, {9, 9, 9}}, {}}}, 0, ticksPerSecond); // another take
        ImportedScene out = convertFile(*scene, "s.dae");
        EXPECT_TRUE(noted(out, "1 keyed nodes of later animations are keyed by an earlier one"));
        const std::vector<float>&a = out.meshes[0].path.values, &b = out.meshes[1].path.values;
        ASSERT_EQ(a.size() / 6, 7u) << "4 s from 1 s to 5 s, and two end points";
        // Point k + 1 is second k of the scene, which is 1 + k s of the keys.
        float ax[] = {0, 0, 2, 4, 4}, by[] = {1, 1, 1, 1, 3};
        for (size_t k = 0; k < 5; k++) {
            EXPECT_NEAR(at(a, k + 1).x, ax[k], 1e-4f) << k;
            EXPECT_NEAR(at(b, k + 1).y, by[k], 1e-4f) << k;
        }
    }
}

// Blender's FBX writes centimetres (UnitScaleFactor 1) or metres (100); a .blend is z-up.
TEST(Fidelity, UnitsAndUpAxisOfTheFileAreApplied) {
    struct Case {
        const char* file;
        float unitScaleFactor; // 0: none in the file
        float corner;          // of the triangle as written in the file
        aiVector3D wanted;     // that corner in the map
    } cases[] = {{"s.fbx", 1, 200, {200 / 100.0f, 0, 0}},
                 {"s.fbx", 100, 2, {2, 0, 0}},
                 {"s.obj", 0, 2, {2, 0, 0}},
                 {"s.blend", 0, 2, {0, 0, -2}}};
    for (const Case& c : cases) {
        auto scene = makeScene({{"t", makeMesh({{0, 0, 0}, {0, 0, 1}, {1, 0, 0}}, {0, 1, 2})}});
        scene->mMeshes[0]->mVertices[1] = aiVector3D(0, c.corner, 0);
        scene->mMeshes[0]->mVertices[2] = aiVector3D(c.corner, 0, 0);
        if (c.unitScaleFactor > 0) {
            scene->mMetaData = aiMetadata::Alloc(1);
            scene->mMetaData->Set(0, "UnitScaleFactor", c.unitScaleFactor);
        }
        ImportedScene out = convertFile(*scene, c.file);
        aiVector3D up = at(out.meshes[0].mesh.vertices, 1, 3),
                   side = at(out.meshes[0].mesh.vertices, 2, 3);
        EXPECT_NEAR(
            (side - aiVector3D(std::fabs(c.wanted.x) + std::fabs(c.wanted.z), 0, 0)).Length(), 0,
            1e-5f)
            << c.file << c.unitScaleFactor;
        EXPECT_NEAR((up - aiVector3D(0, c.wanted.x, c.wanted.z)).Length(), 0, 1e-5f) << c.file;
    }
}

// A 10 s animation whose last key lands a little past 10 s is a 10 s path.
TEST(Fidelity, SamplesComeFromTheKeySpan) {
    for (double last : {10.0, 10.0004, 10.02}) {
        auto scene = makeScene({{"a", unitTriangle()}});
        animate(*scene, {{"a", {{0, 0, 0}, {1, 0, 0}}, {}}}, 0, 1000);
        scene->mAnimations[0]->mChannels[0]->mPositionKeys[1].mTime = last * 1000;
        ImportedScene out = convertFile(*scene, "s.dae");
        const std::vector<float>& v = out.meshes[0].path.values;
        EXPECT_EQ(v.size() / 6, 13u) << last;
        EXPECT_NEAR(at(v, 11).x, 1, 1e-5f) << last; // the last key, not past it
    }
}

// Turns about y are left out (and reported); the rest runs on continuously as x and z.
TEST(Fidelity, ATurnSplitsIntoTheYawLeftOutAndContinuousXAndZ) {
    struct Case {
        float tilt;   // about x, under the spin
        float widest; // yaw reported
    } cases[] = {{0, 180}, {30, 180}};
    for (const Case& c : cases) {
        std::vector<aiQuaternion> turns;
        for (int k = 0; k <= 8; k++)
            turns.push_back(aiQuaternion({0, 1, 0}, 45.0f * k * DEG) *
                            aiQuaternion({1, 0, 0}, c.tilt * DEG));
        auto scene = makeScene({{"spinner", unitTriangle()}});
        animate(*scene, {{"spinner", {}, turns}});
        ImportedScene out = convertFile(*scene, "s.dae");
        EXPECT_TRUE(noted(out, "spinner turns up to " + writtenNumber(c.widest) + " degrees"));
        const std::vector<float>& v = out.meshes[0].path.values;
        for (size_t k = 1; k + 1 < v.size() / 6; k++) {
            aiVector3D angles(v[6 * k + 3], 0, v[6 * k + 5]), before(v[6 * k - 3], 0, v[6 * k - 1]);
            if (c.tilt == 0) {
                EXPECT_NEAR(angles.Length(), 0, 1e-3f) << k; // a pure spin: no tumble
            }
            EXPECT_LT((angles - before).Length(), 90) << k; // no swing through the ground
        }
    }
}

// A moving bar scaled and turned is drawn as its still twin: translation . rotation . scale.
TEST(Fidelity, AScaledTurnedMovingNodeKeepsItsShape) {
    aiMesh* box = makeMesh({{1, 1, 1}, {-1, 1, 1}, {1, -1, 1}, {1, 1, -1}}, {0, 1, 2, 0, 2, 3});
    auto scene = makeScene(
        {{"bar", box},
         {"twin", makeMesh({{1, 1, 1}, {-1, 1, 1}, {1, -1, 1}, {1, 1, -1}}, {0, 1, 2, 0, 2, 3})}});
    aiQuaternion turn({0, 0, 1}, 45 * DEG);
    for (int i = 0; i < 2; i++)
        scene->mRootNode->mChildren[i]->mTransformation =
            composeTRS({0, 0, 0}, turn, {4, 0.4f, 0.4f});
    animate(*scene, {{"bar", {{0, 0, 0}, {0, 0, 0}}, {turn, turn}}});
    ImportedScene out = convertFile(*scene, "s.dae");
    aiMatrix3x3 undo = turnAboutY(-(float)OBJECT_TURN_DEGREES); // the player's last turn
    for (size_t v = 0; v < 4; v++) {
        aiVector3D drawn = undo * at(out.meshes[0].mesh.vertices, v, 3);
        EXPECT_NEAR((drawn - at(out.meshes[1].mesh.vertices, v, 3)).Length(), 0, 1e-4f) << v;
    }
}

// The colour a material gives, and normals that are unit vectors through a squashing node.
TEST(Fidelity, ColoursAndNormalsComeOverAsValues) {
    aiMesh* panel = makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 1, 0}}, {0, 1, 2});
    panel->mNormals = new aiVector3D[3]{{1, 1, 0}, {1, 1, 0}, {1, 1, 0}};
    auto scene = makeScene({{"panel", panel}});
    scene->mRootNode->mChildren[0]->mTransformation = composeTRS({}, {}, {2, 1, 1});
    scene->mNumMaterials = 1;
    scene->mMaterials = new aiMaterial* [1] { new aiMaterial() };
    aiColor4D red(0.8f, 0.1f, 0.2f, 1);
    scene->mMaterials[0]->AddProperty(&red, 1, AI_MATKEY_COLOR_DIFFUSE);
    ImportedScene out = convertFile(*scene, "s.obj");
    const MeshOut& m = out.meshes[0].mesh;
    EXPECT_EQ(std::vector<float>(m.color, m.color + 3), (std::vector<float>{0.8f, 0.1f, 0.2f}));
    aiVector3D wanted = aiVector3D(0.5f, 1, 0).Normalize(); // inverse transpose of the squash
    EXPECT_NEAR((at(m.normals, 0, 3) - wanted).Length(), 0, 1e-5f);
}

TEST(Fidelity, PicturesAreFoundWhereToolsPutThem) {
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/skarn-pictures-XXXXXX";
    fs::path root = mkdtemp(pattern), scene = root / "scene";
    fs::create_directories(scene / "Tex");
    fs::create_directories(root / "other");
    for (fs::path file :
         {scene / "SpiderTex.jpg", scene / "Tex" / "Wall.PNG", root / "other" / "far away.png"})
        std::ofstream(file) << "x";
    std::string far = (root / "other" / "far away.png").string();
    struct Case {
        std::string named, found; // found: relative to the root, "" for nowhere
        bool outside;
    } cases[] = {
        {".\\SpiderTex.jpg", "scene/./SpiderTex.jpg", false},
        {"tex\\wall.png", "scene/Tex/Wall.PNG", false},
        {"C:\\Users\\me\\maps\\spidertex.JPG", "scene/SpiderTex.jpg", false},
        {"missing/folder/SpiderTex.jpg", "scene/SpiderTex.jpg", false},
        {far, "other/far away.png", true},
        {"file://" + root.string() + "/other/far%20away.png", "other/far away.png", true},
        {"../other/far away.png", "scene/../other/far away.png", true},
        {"Tex/../SpiderTex.jpg", "scene/Tex/../SpiderTex.jpg", false},
        {"nowhere.png", "", false},
    };
    for (const Case& c : cases) {
        std::string found = findPicture(scene.string(), c.named);
        EXPECT_EQ(found.empty() ? "" : fs::relative(found, root).string(),
                  c.found.empty() ? "" : fs::path(c.found).lexically_normal().string())
            << c.named;
        if (!found.empty()) {
            EXPECT_EQ(outsideFolder(found, scene.string()), c.outside) << c.named;
        }
    }
    fs::remove_all(root);
    // The name under textures/ is the decoded one.
    auto withPicture = makeScene({{"t", unitTriangle()}});
    withPicture->mNumMaterials = 1;
    withPicture->mMaterials = new aiMaterial* [1] { new aiMaterial() };
    aiString named("pics/old%20wall.png");
    withPicture->mMaterials[0]->AddProperty(&named, AI_MATKEY_TEXTURE_DIFFUSE(0));
    EXPECT_EQ(convertFile(*withPicture, "s.gltf").pictures.at(0).stem, "old_wall");
}

// A camera, a lamp or a key that is not a number, a node squashed to nothing: left out or
// held, and said.
TEST(Fidelity, NumbersThatAreNotNumbersAreLeftOutAndSaid) {
    auto scene = makeScene({{"a", unitTriangle()}, {"flat", unitTriangle()}});
    scene->mRootNode->mChildren[1]->mTransformation =
        aiMatrix4x4(aiMatrix3x3(0, 0, 0, 0, 0, 0, 0, 0, 0));
    animate(*scene, {{"a", {{1, 0, 0}, {NAN, 0, 0}, {3, 0, 0}}, {}}});
    scene->mNumCameras = 1;
    scene->mCameras = new aiCamera* [1] { new aiCamera() };
    scene->mCameras[0]->mPosition = {NAN, 0, 0};
    scene->mNumLights = 1;
    scene->mLights = new aiLight* [1] { new aiLight() };
    scene->mLights[0]->mName = "bulb";
    scene->mLights[0]->mType = aiLightSource_POINT;
    scene->mLights[0]->mPosition = {0, INFINITY, 0};
    scene->mLights[0]->mColorDiffuse = aiColor3D(1, 1, 1);
    ImportedScene out = convertFile(*scene, "s.dae");
    ASSERT_EQ(out.meshes.size(), 1u);
    EXPECT_NEAR(at(out.meshes[0].path.values, 2).x, 1, 1e-5f); // second 1 holds second 0
    EXPECT_TRUE(noted(out, "node a has keys that are not numbers: the last good value is held"));
    EXPECT_TRUE(noted(out, "node flat has a transform that is zero or not numbers: left out"));
    EXPECT_TRUE(noted(out, "is at a place or looks a way that is not a number: a still camera"));
    EXPECT_TRUE(noted(out, "light bulb is at a place that is not a number: left out"));
    EXPECT_TRUE(out.map.lamps.empty());
    for (float v : out.cameraPath.values)
        ASSERT_TRUE(std::isfinite(v));
}
