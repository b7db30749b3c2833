// What other tools write comes in as they showed it: time, units, colours, normals and
// windings, pictures where tools put them.
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "import/pictures.h"
#include "import/scene_motion.h"
#include "scene_maker.h"

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
        ImportedScene out = convert(*scene, "s.dae", 1, false);
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
        ImportedScene out = convert(*scene, c.file, c.scale, false);
        EXPECT_NEAR((at(out.meshes[0].mesh.vertices.data(), 1, 3) - c.wanted).Length(), 0, 1e-5f)
            << c.file << c.scale;
    }
}

// The colour a material gives; normals that are unit vectors through a squashing node, and
// faces that stay counter-clockwise seen from where they point through a mirroring one.
TEST(Fidelity, ColoursNormalsAndWindingComeOverAsValues) {
    for (float sign : {1.0f, -1.0f}) {
        aiMesh* panel = unitTriangle();
        panel->mNormals = new aiVector3D[3]{{1, 1, 1}, {1, 1, 1}, {1, 1, 1}};
        auto scene = makeScene({{"panel", panel}});
        scene->mRootNode->mChildren[0]->mTransformation = composeTRS({}, {}, {2 * sign, 1, 1});
        scene->mNumMaterials = 1;
        scene->mMaterials = new aiMaterial* [1] { new aiMaterial() };
        aiColor4D red(0.8f, 0.1f, 0.2f, 1);
        scene->mMaterials[0]->AddProperty(&red, 1, AI_MATKEY_COLOR_DIFFUSE);
        aiString named("pics/old%20wall.png"); // the name under textures/ is the decoded one
        scene->mMaterials[0]->AddProperty(&named, AI_MATKEY_TEXTURE_DIFFUSE(0));
        ImportedScene out = convert(*scene, "s.gltf", 1, false);
        const MeshOut& m = out.meshes[0].mesh;
        EXPECT_EQ(std::vector<float>(m.color, m.color + 3), (std::vector<float>{0.8f, 0.1f, 0.2f}));
        aiVector3D n = at(m.normals.data(), 0, 3);
        EXPECT_NEAR((n - aiVector3D(0.5f * sign, 1, 1).Normalize()).Length(), 0, 1e-5f); // (M^-1)^T
        const float* v = m.vertices.data();
        auto corner = [&](int k) { return at(v, m.faces[k], 3); };
        EXPECT_GT(((corner(1) - corner(0)) ^ (corner(2) - corner(0))) * n, 0) << sign;
        EXPECT_EQ(out.pictures.at(0).stem, "old_wall");
    }
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
