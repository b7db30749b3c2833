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

static ImportedScene convertFile(const aiScene& scene, const std::string& file, float scale = 1) {
    ImportOptions options;
    options.scale = scale;
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

static aiVector3D at(const float* v, size_t point, size_t stride = 6) {
    return aiVector3D(v[stride * point], v[stride * point + 1], v[stride * point + 2]);
}

// A camera "eye" on a node of its own placed by `place`, looking down -z as glTF's do.
static void addCamera(aiScene& scene, const aiMatrix4x4& place, const aiVector3D& position) {
    aiNode* eye = new aiNode("eye");
    eye->mTransformation = place;
    scene.mRootNode->addChildren(1, &eye);
    scene.mNumCameras = 1;
    scene.mCameras = new aiCamera* [1] { new aiCamera() };
    scene.mCameras[0]->mName = "eye";
    scene.mCameras[0]->mLookAt = {0, 0, -1};
    scene.mCameras[0]->mPosition = position;
}

// assimp's glTF reader also copies the camera node's translation into the camera's position.
TEST(Fidelity, TheCameraEyeIsItsNodesPlaceInEveryFormat) {
    for (const char* file : {"s.glb", "s.GLTF", "s.dae"}) {
        auto scene = makeScene({{"ground", unitTriangle()}});
        aiVector3D copied = file[2] == 'd' ? aiVector3D() : aiVector3D(0, 8, 20);
        addCamera(*scene, composeTRS({0, 8, 20}, aiQuaternion({1, 0, 0}, -20 * DEG), {1, 1, 1}),
                  copied);
        ImportedScene out = convertFile(*scene, file);
        EXPECT_NEAR((at(out.map.eye, 0, 3) - aiVector3D(0, 8, 20)).Length(), 0, 1e-4f) << file;
        EXPECT_NEAR(out.map.target[1], 8 - 10 * std::sin(20 * DEG), 1e-4f) << file;
    }
}

// Keys in several animations (tools write one per object): the earliest key of all, the
// camera's at 1 s, plays at the scene's start and every node keeps its offset from it; a
// single key (assimp's glTF reader adds one at 0 s) is a constant; a later animation of an
// animated node is said. A span a little past whole seconds makes no extra sample.
TEST(Fidelity, TheEarliestKeyOfTheSceneStartsEveryPath) {
    for (double last : {5.0, 5.0004, 5.02}) {
        auto scene = makeScene({{"a", unitTriangle()}, {"b", unitTriangle()}});
        addCamera(*scene, aiMatrix4x4(), {});
        animate(*scene, {{"a", {{0, 0, 0}, {2, 0, 0}, {4, 0, 0}}, {}}}, 2, 1000);
        animate(*scene, {{"b", {{0, 1, 0}, {0, 3, 0}}, {}}}, 4, 1000);
        animate(*scene, {{"eye", {{0, 0, 9}, {0, 0, 9}}, {aiQuaternion()}}}, 1, 1000);
        scene->mAnimations[2]->mChannels[0]->mRotationKeys[0].mTime = 0;
        scene->mAnimations[1]->mChannels[0]->mPositionKeys[1].mTime = last * 1000;
        animate(*scene, {{"a", {{9, 9, 9}, {9, 9, 9}}, {}}}, 0, 1000);
        ImportedScene out = convertFile(*scene, "s.dae");
        EXPECT_TRUE(noted(out, "1 keyed nodes of later animations are keyed by an earlier one"));
        const float *a = out.meshes[0].path.values.data(), *b = out.meshes[1].path.values.data();
        ASSERT_EQ(out.meshes[0].path.values.size() / 6, 7u)
            << last;                                          // 1 s to 5 s, and two end points
        float ax[] = {0, 0, 2, 4, 4}, by[] = {1, 1, 1, 1, 3}; // at 1, 2, ... 5 s of the keys
        for (size_t k = 0; k < 5; k++) {
            EXPECT_NEAR(at(a, k + 1).x, ax[k], 1e-4f) << k;
            EXPECT_NEAR(at(b, k + 1).y, by[k], 1e-4f) << k;
        }
    }
}

// Blender's FBX writes centimetres (UnitScaleFactor 1) or metres (100); FBX names its up axis;
// a .blend is z-up; --scale multiplies (a scale that is no length is taken as 1).
TEST(Fidelity, UnitsUpAxisAndScaleAreApplied) {
    struct Case {
        const char* file;
        float unitScaleFactor, corner, scale; // the corner (0, corner, 0) in the file
        int upAxis;
        aiVector3D wanted; // in the map
    } cases[] = {{"s.fbx", 1, 200, 1, 1, {0, 2, 0}}, {"s.fbx", 100, 2, 1, 1, {0, 2, 0}},
                 {"s.fbx", 0, 1, 2, 2, {0, 0, -2}},  {"s.obj", 0, 2, 0, 1, {0, 2, 0}},
                 {"s.obj", 0, 2, NAN, 1, {0, 2, 0}}, {"s.blend", 0, 2, -2, 1, {0, 0, -2}}};
    for (const Case& c : cases) {
        auto scene =
            makeScene({{"t", makeMesh({{0, 0, 0}, {0, c.corner, 0}, {1, 0, 0}}, {0, 1, 2})}});
        scene->mMetaData = aiMetadata::Alloc(2);
        scene->mMetaData->Set(0, "UnitScaleFactor", c.unitScaleFactor);
        scene->mMetaData->Set(1, "UpAxis", c.upAxis);
        ImportedScene out = convertFile(*scene, c.file, c.scale);
        EXPECT_NEAR((at(out.meshes[0].mesh.vertices.data(), 1, 3) - c.wanted).Length(), 0, 1e-5f)
            << c.file << c.scale;
    }
}

// Turns about y are left out (and said); the rest runs on from sample to sample as x and z.
TEST(Fidelity, ATurnSplitsIntoTheYawLeftOutAndContinuousXAndZ) {
    for (float tilt : {0.0f, 30.0f}) {
        std::vector<aiQuaternion> turns;
        for (int k = 0; k <= 8; k++)
            turns.push_back(aiQuaternion({0, 1, 0}, 45.0f * k * DEG) *
                            aiQuaternion({1, 0, 0}, tilt * DEG));
        auto scene = makeScene({{"spinner", unitTriangle()}});
        animate(*scene, {{"spinner", {}, turns}});
        ImportedScene out = convertFile(*scene, "s.dae");
        EXPECT_TRUE(noted(out, "spinner turns up to 180 degrees about the vertical axis"));
        const std::vector<float>& v = out.meshes[0].path.values;
        for (size_t k = 1; k + 1 < v.size() / 6; k++) {
            aiVector3D angles(v[6 * k + 3], 0, v[6 * k + 5]);
            aiVector3D step = angles - aiVector3D(v[6 * k - 3], 0, v[6 * k - 1]);
            EXPECT_NEAR(tilt == 0 ? angles.Length() : 0, 0, 1e-3f) << k; // a pure spin: 0, 0
            EXPECT_LT(step.Length(), 90) << k; // never a swing through the ground
        }
    }
}

// A moving bar scaled and turned is drawn as its still twin: translation . rotation . scale.
TEST(Fidelity, AScaledTurnedMovingNodeKeepsItsShape) {
    std::vector<aiVector3D> corners = {{1, 1, 1}, {-1, 1, 1}, {1, -1, 1}, {1, 1, -1}};
    auto scene = makeScene({{"bar", makeMesh(corners, {0, 1, 2, 0, 2, 3})},
                            {"twin", makeMesh(corners, {0, 1, 2, 0, 2, 3})}});
    aiQuaternion turn({0, 0, 1}, 45 * DEG);
    for (int i = 0; i < 2; i++)
        scene->mRootNode->mChildren[i]->mTransformation = composeTRS({}, turn, {4, 0.4f, 0.4f});
    animate(*scene, {{"bar", {{0, 0, 0}, {0, 0, 0}}, {turn, turn}}});
    ImportedScene out = convertFile(*scene, "s.dae");
    aiMatrix3x3 undo = turnAboutY(SHOW_OBJECT_TURN_DEGREES); // the player's last turn
    for (size_t v = 0; v < 4; v++) {
        aiVector3D drawn = undo * at(out.meshes[0].mesh.vertices.data(), v, 3);
        EXPECT_NEAR((drawn - at(out.meshes[1].mesh.vertices.data(), v, 3)).Length(), 0, 1e-4f) << v;
    }
}

// The colour a material gives, and normals that are unit vectors through a squashing node.
TEST(Fidelity, ColoursAndNormalsComeOverAsValues) {
    aiMesh* panel = unitTriangle();
    panel->mNormals = new aiVector3D[3]{{1, 1, 0}, {1, 1, 0}, {1, 1, 0}};
    auto scene = makeScene({{"panel", panel}});
    scene->mRootNode->mChildren[0]->mTransformation = composeTRS({}, {}, {2, 1, 1});
    scene->mNumMaterials = 1;
    scene->mMaterials = new aiMaterial* [1] { new aiMaterial() };
    aiColor4D red(0.8f, 0.1f, 0.2f, 1);
    scene->mMaterials[0]->AddProperty(&red, 1, AI_MATKEY_COLOR_DIFFUSE);
    aiString named("pics/old%20wall.png"); // the name under textures/ is the decoded one
    scene->mMaterials[0]->AddProperty(&named, AI_MATKEY_TEXTURE_DIFFUSE(0));
    ImportedScene out = convertFile(*scene, "s.gltf");
    const MeshOut& m = out.meshes[0].mesh;
    EXPECT_EQ(std::vector<float>(m.color, m.color + 3), (std::vector<float>{0.8f, 0.1f, 0.2f}));
    aiVector3D wanted = aiVector3D(0.5f, 1, 0).Normalize(); // inverse transpose of the squash
    EXPECT_NEAR((at(m.normals.data(), 0, 3) - wanted).Length(), 0, 1e-5f);
    EXPECT_EQ(out.pictures.at(0).stem, "old_wall");
}

TEST(Fidelity, PicturesAreFoundWhereToolsPutThem) {
    namespace fs = std::filesystem;
    char pattern[] = "/tmp/skarn-pictures-XXXXXX";
    fs::path root = mkdtemp(pattern), scene = root / "scene";
    fs::create_directories(scene / "Tex");
    fs::create_directories(root / "other");
    for (const char* file : {"scene/SpiderTex.jpg", "scene/Tex/Wall.PNG", "other/far away.png"})
        std::ofstream(root / file) << "x";
    struct Case {
        std::string named, found; // found: from the root, "" for nowhere
        bool outside;
    } cases[] = {
        {".\\SpiderTex.jpg", "scene/SpiderTex.jpg", false},
        {"tex\\wall.png", "scene/Tex/Wall.PNG", false},
        {"C:\\Users\\me\\spidertex.JPG", "scene/SpiderTex.jpg", false}, // no such folder
        {(root / "other/far away.png").string(), "other/far away.png", true},
        {"file://" + root.string() + "/other/far%20away.png", "other/far away.png", true},
        {"../other/far away.png", "other/far away.png", true},
        {"Tex/../SpiderTex.jpg", "scene/SpiderTex.jpg", false},
        {"nowhere.png", "", false},
    };
    for (const Case& c : cases) {
        std::string found = findPicture(scene.string(), c.named);
        EXPECT_EQ(found.empty() ? "" : fs::relative(found, root).string(), c.found) << c.named;
        EXPECT_EQ(!found.empty() && outsideFolder(found, scene.string()), c.outside) << c.named;
    }
    fs::remove_all(root);
}

// A camera, a lamp or a key that is not a number, a node squashed to nothing: left out or
// held, and said.
TEST(Fidelity, NumbersThatAreNotNumbersAreLeftOutAndSaid) {
    auto scene = makeScene({{"a", unitTriangle()}, {"flat", unitTriangle()}});
    scene->mRootNode->mChildren[1]->mTransformation =
        aiMatrix4x4(aiMatrix3x3(0, 0, 0, 0, 0, 0, 0, 0, 0));
    animate(*scene, {{"a", {{1, 0, 0}, {NAN, 0, 0}, {3, 0, 0}}, {}}});
    addCamera(*scene, aiMatrix4x4(), {NAN, 0, 0});
    scene->mNumLights = 1;
    scene->mLights = new aiLight* [1] { new aiLight() };
    scene->mLights[0]->mName = "bulb";
    scene->mLights[0]->mType = aiLightSource_POINT;
    scene->mLights[0]->mPosition = {0, INFINITY, 0};
    scene->mLights[0]->mColorDiffuse = aiColor3D(1, 1, 1);
    ImportedScene out = convertFile(*scene, "s.dae");
    ASSERT_EQ(out.meshes.size(), 1u);
    EXPECT_NEAR(at(out.meshes[0].path.values.data(), 2).x, 1, 1e-5f); // second 1 holds second 0
    EXPECT_TRUE(noted(out, "node a has keys that are not numbers: the last good value is held"));
    EXPECT_TRUE(noted(out, "node flat has a transform that is zero or not numbers: left out"));
    EXPECT_TRUE(noted(out, "camera eye is at a place or looks a way that is not a number"));
    EXPECT_TRUE(noted(out, "light bulb is at a place that is not a number: left out"));
    EXPECT_TRUE(out.map.lamps.empty());
    for (float v : out.cameraPath.values)
        ASSERT_TRUE(std::isfinite(v));
}
