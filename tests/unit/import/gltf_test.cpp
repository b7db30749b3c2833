// The importer's own glTF reader: a small scene comes in with the values assimp gives, a mesh
// spent while baked bakes as one that is not, and hostile files are refused with a line.
#include <assimp/GltfMaterial.h>
#include <cstring>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "import/gltf_reader.h"
#include "import/scene_reader.h"
#include "scene_maker.h"

namespace {

std::string folder() {
    static std::string made;
    if (made.empty()) {
        char pattern[] = "/tmp/skarn-gltf-XXXXXX";
        made = mkdtemp(pattern) ? pattern : "/tmp";
    }
    return made;
}

template <typename T> void put(std::string& blob, std::initializer_list<T> values) {
    for (T v : values)
        blob.append((const char*)&v, sizeof v);
}

// Four vertices, position and normal interleaved (24 bytes a vertex), then uv, then 9 indices
// of which the last three name a vertex that is not there; two rotation keys over 2 s.
std::string blob() {
    std::string b;
    for (int i = 0; i < 4; i++)
        put<float>(b, {float(i), float(i * i), 0.5f, 0, i == 2 ? -1.0f : 1.0f, 0});
    put<float>(b, {0, 0, 0.25f, 0.75f, 1, 0, 1, 1});                 // uv at 96
    put<uint16_t>(b, {0, 1, 2, 0, 2, 3, 0, 1, 9, 0});                // indices at 128
    put<float>(b, {0, 2, 0, 0, 0, 1, 0.7071068f, 0, 0, 0.7071068f}); // keys at 148
    return b;
}

const char* SCENE = R"({"asset":{"version":"2.0"},"scene":0,"scenes":[{"nodes":[0]}],
"nodes":[{"name":"parent","translation":[1,2,3],"rotation":[0,0.7071068,0,0.7071068],
"scale":[2,2,2],"children":[1]},{"mesh":0,"matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,5,1]}],
"meshes":[{"name":"m","primitives":[{"attributes":{"POSITION":0,"NORMAL":1,"TEXCOORD_0":2},
"indices":3,"material":0}]}],"materials":[{"pbrMetallicRoughness":{"baseColorFactor":
[0.5,0.25,1,0.5]},"alphaMode":"BLEND"}],"buffers":[{"byteLength":188}],"bufferViews":[
{"buffer":0,"byteLength":96,"byteStride":24},{"buffer":0,"byteOffset":96,"byteLength":32},
{"buffer":0,"byteOffset":128,"byteLength":18},{"buffer":0,"byteOffset":148,"byteLength":40}],
"accessors":[{"bufferView":0,"componentType":5126,"count":4,"type":"VEC3"},{"bufferView":0,
"byteOffset":12,"componentType":5126,"count":4,"type":"VEC3"},{"bufferView":1,
"componentType":5126,"count":4,"type":"VEC2"},{"bufferView":2,"componentType":5123,
"count":9,"type":"SCALAR"},{"bufferView":3,"componentType":5126,"count":2,"type":"SCALAR"},
{"bufferView":3,"byteOffset":8,"componentType":5126,"count":2,"type":"VEC4"}],
"animations":[{"samplers":[{"input":4,"output":5}],"channels":[{"sampler":0,
"target":{"node":0,"path":"rotation"}}]}]})";

// A .glb of the JSON and blob; `jsonLength` overrides the JSON chunk's stated length.
std::string writeGlb(const std::string& name, std::string json, const std::string& bin,
                     uint32_t jsonLength = 0) {
    json.append((4 - json.size() % 4) % 4, ' ');
    std::string out;
    put<uint32_t>(out, {0x46546C67u, 2, uint32_t(28 + json.size() + bin.size())});
    put<uint32_t>(out, {jsonLength ? jsonLength : (uint32_t)json.size(), 0x4E4F534Au});
    out += json;
    put<uint32_t>(out, {(uint32_t)bin.size(), 0x004E4942u});
    std::string path = folder() + "/" + name;
    std::ofstream(path, std::ios::binary) << out + bin;
    return path;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    return at == std::string::npos ? "" : text.replace(at, from.size(), to);
}

} // namespace

TEST(GltfReader, ASmallSceneComesInAsAssimpGivesIt) {
    std::unique_ptr<aiScene> scene;
    std::string error;
    ASSERT_EQ(readGltf(writeGlb("small.glb", SCENE, blob()), 1 << 20, scene, error), GLTF_READ)
        << error;
    const aiNode& parent = *scene->mRootNode;
    EXPECT_STREQ(parent.mName.C_Str(), "parent");
    aiVector3D x = parent.mTransformation * aiVector3D(1, 0, 0); // scaled, turned, moved
    EXPECT_NEAR((x - aiVector3D(1, 2, 1)).Length(), 0, 1e-5);
    ASSERT_EQ(parent.mNumChildren, 1u);
    const aiNode& leaf = *parent.mChildren[0];
    EXPECT_STREQ(leaf.mName.C_Str(), "nodes[1]");
    EXPECT_EQ(leaf.mTransformation * aiVector3D(), aiVector3D(0, 0, 5));
    ASSERT_EQ(leaf.mNumMeshes, 1u);
    const aiMesh& m = *scene->mMeshes[leaf.mMeshes[0]];
    ASSERT_EQ(m.mNumVertices, 4u);
    EXPECT_EQ(m.mVertices[3], aiVector3D(3, 9, 0.5f));
    EXPECT_EQ(m.mNormals[2], aiVector3D(0, -1, 0));
    EXPECT_EQ(m.mTextureCoords[0][1], aiVector3D(0.25f, 0.25f, 0)); // v runs down as assimp's
    ASSERT_EQ(m.mNumFaces, 2u); // the face naming vertex 9 is left out
    EXPECT_EQ(m.mFaces[1].mIndices[2], 3u);
    ASSERT_EQ(scene->mNumMaterials, 2u); // the file's and the default one
    aiColor4D color;
    float opacity = 0;
    aiString mode;
    const aiMaterial& look = *scene->mMaterials[m.mMaterialIndex];
    look.Get(AI_MATKEY_BASE_COLOR, color), look.Get(AI_MATKEY_OPACITY, opacity);
    look.Get(AI_MATKEY_GLTF_ALPHAMODE, mode);
    EXPECT_EQ(color, aiColor4D(0.5f, 0.25f, 1, 0.5f));
    EXPECT_EQ(opacity, 0.5f);
    EXPECT_STREQ(mode.C_Str(), "BLEND");
    ASSERT_EQ(scene->mNumAnimations, 1u);
    const aiAnimation& a = *scene->mAnimations[0];
    EXPECT_EQ(a.mTicksPerSecond, 1000);
    EXPECT_EQ(a.mDuration, 2000);
    ASSERT_EQ(a.mNumChannels, 1u);
    const aiNodeAnim& keys = *a.mChannels[0];
    EXPECT_STREQ(keys.mNodeName.C_Str(), "parent");
    ASSERT_EQ(keys.mNumRotationKeys, 2u);
    EXPECT_EQ(keys.mRotationKeys[1].mTime, 2000);
    const aiQuaternion& q = keys.mRotationKeys[1].mValue; // 90 degrees about x
    EXPECT_NEAR((q.w - q.x) + std::fabs(q.w - 0.7071068f) + q.y + q.z, 0, 1e-6);
    ASSERT_EQ(keys.mNumPositionKeys, 1u); // the node's own translation, as assimp keys it
    EXPECT_EQ(keys.mPositionKeys[0].mValue, aiVector3D(1, 2, 3));
    releaseIndexBlocks(*scene);
    // Without normals of its own, each vertex takes its faces' (all facing +z here).
    std::string bare = writeGlb("bare.glb", replaced(SCENE, R"("NORMAL":1,)", ""), blob());
    ASSERT_EQ(readGltf(bare, 1 << 20, scene, error), GLTF_READ) << error;
    const aiMesh& made = *scene->mMeshes[0];
    EXPECT_EQ(made.mNormals[0], aiVector3D(0, 0, 1));
    EXPECT_EQ(made.mNormals[3], aiVector3D(0, 0, 1));
    releaseIndexBlocks(*scene);
}

// A mesh shown by two nodes is not spent; one shown once is: both bake as when nothing is.
TEST(GltfReader, ASpentMeshBakesAsOneThatIsNot) {
    std::string twice = replaced(SCENE, R"("children":[1]},)", R"("children":[1,2]},)");
    twice = replaced(twice, R"(,0,0,5,1]}])", R"(,0,0,5,1]},{"mesh":0},{"mesh":1}])");
    twice = replaced(twice, R"("material":0}]}])", R"("material":0}]},{"primitives":[
        {"attributes":{"POSITION":0,"NORMAL":1,"TEXCOORD_0":2},"indices":3,"material":0}]}])");
    twice = replaced(twice, R"("BLEND"}],)",
                     R"("BLEND"}],"textures":[{"source":0}],"images":[{"uri":"p.png"}],)");
    twice = replaced(twice, "0.5]}", R"(0.5],"baseColorTexture":{"index":0}})");
    twice = replaced(twice, R"("nodes":[0]})", R"("nodes":[0,3]})");
    std::string file = writeGlb("twice.glb", twice, blob());
    std::vector<ImportedScene> out(2);
    for (int spend = 0; spend < 2; spend++) {
        SceneHold hold;
        std::string why;
        const aiScene* scene = readScene(hold, file, ImportLimits(), why);
        ASSERT_TRUE(scene) << why;
        ImportOptions options;
        options.sceneFile = "twice.glb", options.spendMeshes = spend;
        ASSERT_TRUE(convertScene(*scene, options, out[spend], why)) << why;
        EXPECT_EQ(scene->mMeshes[1]->mVertices == nullptr, spend == 1); // the one shown once
    }
    ASSERT_EQ(out[0].meshes.size(), 3u);
    ASSERT_EQ(out[1].meshes.size(), 3u);
    for (size_t i = 0; i < 3; i++) {
        const MeshOut &a = out[0].meshes[i].mesh, &b = out[1].meshes[i].mesh;
        EXPECT_TRUE(a.vertices == b.vertices && a.normals == b.normals && a.faces == b.faces &&
                    a.faceUVs == b.faceUVs && !a.faceUVs.empty());
    }
}

TEST(GltfReader, HostileFilesAreRefusedWithALine) {
    std::string dir = folder();
    mkfifo((dir + "/fifo.bin").c_str(), 0600);
    mkdir((dir + "/folder.bin").c_str(), 0700);
    std::string chain = R"({"asset":{"version":"2.0"},"scenes":[{"nodes":[0]}],"nodes":[)";
    for (int i = 0; i < 30000; i++)
        chain += "{\"children\":[" + std::to_string(i + 1) + "]},";
    chain += R"({"mesh":0}],"meshes":[{"primitives":[{"attributes":{"POSITION":0,"NORMAL":1}}]}],)";
    chain += std::string(SCENE).substr(std::string(SCENE).find("\"buffers\""));
    chain = replaced(chain, R"("animations")", R"("x")");
    const std::string bin = blob();
    struct Case {
        const char* what;
        std::string json;
        GltfOutcome expected;
        std::string message;
        uint32_t jsonLength = 0;
    };
    std::vector<Case> cases = {
        {"JSON chunk longer than the file", SCENE, GLTF_REFUSED, "JSON chunk is broken", 1 << 30},
        {"not JSON", "{\"asset\":", GLTF_REFUSED, "JSON is broken at byte"},
        {"nested a million deep", std::string(1000000, '['), GLTF_REFUSED, "JSON is broken"},
        {"count past its view", replaced(SCENE, R"("count":9,)", R"("count":3000000000,)"),
         GLTF_REFUSED, "accessor 3 reaches past"},
        {"stride under the element", replaced(SCENE, R"("byteStride":24)", R"("byteStride":8)"),
         GLTF_REFUSED, "accessor 0 reaches past"},
        {"view past its buffer",
         replaced(SCENE, R"("byteOffset":96,"byteLength":32)",
                  R"("byteOffset":96,"byteLength":320)"),
         GLTF_REFUSED, "reaches past"},
        {"buffer longer than the chunk",
         replaced(SCENE, R"("byteLength":188})", R"("byteLength":1880})"), GLTF_REFUSED,
         "buffer 0 says it holds 1880 bytes but has 188"},
        {"floats as indices", replaced(SCENE, R"("indices":3)", R"("indices":0)"), GLTF_REFUSED,
         "accessor 0 is not a list of indices"},
        {"a material not there", replaced(SCENE, R"("material":0)", R"("material":5)"),
         GLTF_REFUSED, "names material 5"},
        {"a loop of nodes", replaced(SCENE, R"("children":[1])", R"("children":[1,0])"),
         GLTF_REFUSED, "node parent is reached twice"},
        {"a child not there", replaced(SCENE, R"("children":[1])", R"("children":[7])"),
         GLTF_REFUSED, "names node 7, which is not in the file"},
        {"a .bin that is a FIFO",
         replaced(SCENE, R"("byteLength":188})", R"("byteLength":188,"uri":"fifo.bin"})"),
         GLTF_REFUSED, "(fifo.bin) is not a plain file"},
        {"a .bin that is a folder",
         replaced(SCENE, R"("byteLength":188})", R"("byteLength":188,"uri":"folder.bin"})"),
         GLTF_REFUSED, "(folder.bin) is not a plain file"},
        {"a data: URI not base64",
         replaced(SCENE, R"("byteLength":188})", R"("byteLength":3,"uri":"data:,abc"})"),
         GLTF_REFUSED, "not base64"},
        {"a key time not a float",
         replaced(SCENE, R"("componentType":5126,"count":2,"type":"SCALAR")",
                  R"("componentType":5123,"count":2,"type":"SCALAR")"),
         GLTF_REFUSED, "times are not floats"},
        {"a chain 30000 deep", chain, GLTF_READ, ""},
        {"glTF 1", replaced(SCENE, "2.0", "1.0"), GLTF_TO_ASSIMP, ""},
        {"a skin", replaced(SCENE, R"("mesh":0,)", R"("mesh":0,"skin":0,)"), GLTF_TO_ASSIMP, ""},
        {"packed normals",
         replaced(SCENE, R"("byteOffset":12,"componentType":5126)",
                  R"("byteOffset":12,"componentType":5122)"),
         GLTF_TO_ASSIMP, ""},
        {"lines", replaced(SCENE, R"("indices":3,)", R"("indices":3,"mode":1,)"), GLTF_TO_ASSIMP,
         ""},
    };
    for (const Case& c : cases) {
        ASSERT_FALSE(c.json.empty()) << c.what;
        std::unique_ptr<aiScene> scene;
        std::string error;
        GltfOutcome got =
            readGltf(writeGlb("case.glb", c.json, bin, c.jsonLength), 1 << 20, scene, error);
        EXPECT_EQ(got, c.expected) << c.what << ": " << error;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
        EXPECT_EQ(scene != nullptr, got == GLTF_READ) << c.what;
        if (scene) {
            EXPECT_EQ(scene->mNumMeshes, 1u) << c.what; // read below the depth walked too
            releaseIndexBlocks(*scene);
        }
    }
}
