// The reader's child: its messages come back in order, and a crash, a runaway allocation, a
// hang or a stop request each end it with their own line. Our OBJ reader: the scene it makes,
// and what it refuses.
#include <assimp/material.h>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "import/obj_reader.h"
#include "import/reader_child.h"
#include "import/vertex_join.h"
#include "scene_maker.h"

TEST(ReaderChild, EachWayOfEndingHasItsLine) {
    static volatile char* sink;
    struct Case {
        const char* what;
        void (*work)(int fd);
        bool stop;
        std::string expected;
    };
    std::vector<Case> cases = {
        {"talks",
         [](int fd) { childSend(fd, 'A', "one"), childSend(fd, 'B', std::string(1 << 17, 'x')); },
         false, ""},
        {"crashes", [](int) { signal(SIGSEGV, SIG_DFL), raise(SIGSEGV); }, false,
         "the scene reader crashed (signal 11)"},
        {"hangs", [](int) { pause(); }, false, "the scene reader took longer than 1 s"},
        {"spins",
         [](int) {
             for (;;)
                 sink = sink;
         },
         false, "the scene reader took longer than 1 s"},
        {"exits", [](int) { _exit(3); }, false, "the scene reader stopped (status 3)"},
        {"is stopped", [](int) { pause(); }, true, "interrupted"},
#if !defined(__SANITIZE_ADDRESS__) // no address-space ceiling under the sanitizer
        {"swells",
         [](int) {
             for (std::vector<std::string> kept;;)
                 kept.emplace_back(1 << 20, 'x');
         },
         false, "the scene reader needed more than 200 MB"},
#endif
    };
    for (const Case& c : cases) {
        ImportLimits limits;
        limits.seconds = c.expected.find("longer") != std::string::npos ? 1 : 30; // loaded machines
        limits.memoryMB = 200;
        std::vector<ChildMessage> messages;
        std::string seen;
        volatile sig_atomic_t stop = c.stop;
        std::string why = runInChild(
            limits, c.work, messages, [&](const ChildMessage& m) { seen += m.kind; }, [](double) {},
            &stop);
        EXPECT_EQ(why, c.expected) << c.what;
        if (c.expected.empty()) {
            ASSERT_EQ(seen, "AB");
            EXPECT_EQ(messages[0].text, "one");
            EXPECT_EQ(messages[1].text.size(), (size_t)1 << 17);
        }
    }
}

// Bit-equal vertices are joined in order of first use; a vertex that differs in its normal or
// uv alone is kept.
TEST(VertexJoin, OnlyBitEqualVerticesJoin) {
    aiMesh* mesh = makeMesh({{0, 0, 0}, {1, 0, 0}, {0, 0, 0}, {1, 0, 0}, {0, 0, 0}, {0, 0, 0}},
                            {0, 1, 2, 3, 4, 5});
    std::unique_ptr<aiMesh> owner(mesh);
    mesh->mNormals =
        new aiVector3D[6]{{0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, 1, 0}, {0, -1, 0}, {0, 1, 0}};
    mesh->mTextureCoords[0] = new aiVector3D[6]{{}, {}, {}, {}, {}, {0.5f, 0, 0}};
    ASSERT_TRUE(canJoinVertices(*mesh));
    joinVertices(*mesh);
    EXPECT_EQ(mesh->mNumVertices, 4u);
    std::vector<unsigned> corners;
    for (unsigned f = 0; f < 2; f++)
        corners.insert(corners.end(), mesh->mFaces[f].mIndices, mesh->mFaces[f].mIndices + 3);
    EXPECT_EQ(corners, (std::vector<unsigned>{0, 1, 0, 1, 2, 3}));
    EXPECT_EQ(mesh->mNormals[2].y, -1);
    EXPECT_EQ(mesh->mTextureCoords[0][3].x, 0.5f);
}

namespace {

std::string scratchFolder() {
    char pattern[] = "/tmp/skarn-obj-XXXXXX";
    return mkdtemp(pattern);
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace

// A quad, a concave quad (cut from its inner corner), usemtl before any object, negative
// indices, a continued line, CRLF, comments and unknown statements. The group has no normals:
// each position (or one very near) gets the sum of the unit normals of the last triangle cut
// from each face at it;
// a change of material there starts a mesh named after the material.
TEST(ObjReader, FacesNormalsAndMaterialsComeOutAsAssimpGaveThem) {
    std::string root = scratchFolder();
    writeText(root + "/t.mtl", "newmtl red\nKd 1 0 0\nTr 0.25\nnewmtl blue\nKd 0 0 1\nd 0.5\n"
                               "map_Kd -s 1 1 1 .\\tex.jpg\n");
    std::string obj =
        "# made by hand\nmtllib t.mtl\nusemtl red\nv 0 0 0\nv 1 0 0\nv 1 1 0\n"
        "v 0 1 0\nv 1 0.25 0\nv 2 0 0\nv 0 0 -1\nvt 0 0\nvt 1 0\nvt 1 1\n"
        "vn 0 0 1\nvp 1 2\ns off\nf 1/1/1 2/2/1 3/3/1 4/1/1\nf 1/1/1 5/1/1 6/1/1 3/1/1\n"
        "v 0.00001 0 0\ng second\nusemtl blue\nf -8 -7 -6 -2 # a comment\n"
        "f -7 -1 \\\n -2\nusemtl red\nf -8 -7 -6\n";
    for (size_t at = 0; (at = obj.find('\n', at)) != std::string::npos; at += 2)
        obj.insert(at, "\r");
    writeText(root + "/t.obj", obj);
    SceneHold hold;
    std::string error;
    const aiScene* scene = readScene(hold, root + "/t.obj", ImportLimits(), error);
    ASSERT_TRUE(scene && hold.own) << error;
    ASSERT_EQ(scene->mNumMeshes, 3u);
    ASSERT_EQ(scene->mRootNode->mNumChildren, 2u);
    EXPECT_STREQ(scene->mRootNode->mChildren[0]->mName.C_Str(), "defaultobject");
    EXPECT_STREQ(scene->mRootNode->mChildren[1]->mName.C_Str(), "second");
    const aiVector3D A(0, 0, 0), B(1, 0, 0), C(1, 1, 0), D(0, 0, -1), up(0, 0, 1);
    const aiVector3D nA(-0.9239f, -0.3827f, 0), nB(0, -0.7071f, 0.7071f), nC(-0.7071f, 0.7071f, 0);
    struct Expected {
        std::vector<aiVector3D> corners, normals; // normals per corner
        const char *name, *material;
        bool uv;
    } expected[] = {
        {{A, B, C, A, C, {0, 1, 0}, {1, 0.25f, 0}, {2, 0, 0}, C, {1, 0.25f, 0}, C, A},
         std::vector<aiVector3D>(12, up),
         "defaultobject",
         "red",
         true},
        {{A, B, C, A, C, D, B, {1e-5f, 0, 0}, D}, // that near A is smoothed with it
         {nA, nB, nC, nA, nC, nA, nB, nA, nA},
         "second",
         "blue",
         false},
        {{A, B, C}, {up, up, up}, "red", "red", false},
    };
    for (unsigned i = 0; i < 3; i++) {
        const aiMesh& m = *scene->mMeshes[i];
        ASSERT_EQ(m.mNumFaces * 3, expected[i].corners.size()) << i;
        for (unsigned k = 0; k < expected[i].corners.size(); k++) {
            unsigned v = m.mFaces[k / 3].mIndices[k % 3];
            EXPECT_LT((m.mVertices[v] - expected[i].corners[k]).Length(), 1e-6f) << i << k;
            EXPECT_LT((m.mNormals[v] - expected[i].normals[k]).Length(), 1e-4f) << i << k;
        }
        aiString name;
        scene->mMaterials[m.mMaterialIndex]->Get(AI_MATKEY_NAME, name);
        EXPECT_STREQ(name.C_Str(), expected[i].material);
        EXPECT_STREQ(m.mName.C_Str(), expected[i].name);
        EXPECT_EQ(m.mTextureCoords[0] != nullptr, expected[i].uv);
    }
    EXPECT_EQ(scene->mMeshes[0]->mNumVertices, 7u); // one per distinct index triple
    EXPECT_EQ(scene->mMeshes[0]->mTextureCoords[0][2], aiVector3D(1, 1, 0));
    const aiMaterial &red = *scene->mMaterials[1], &blue = *scene->mMaterials[2];
    aiColor3D kd;
    float opacity[2] = {0, 0};
    aiString picture;
    red.Get(AI_MATKEY_OPACITY, opacity[0]), blue.Get(AI_MATKEY_OPACITY, opacity[1]);
    blue.Get(AI_MATKEY_COLOR_DIFFUSE, kd);
    blue.GetTexture(aiTextureType_DIFFUSE, 0, &picture);
    EXPECT_EQ(kd, aiColor3D(0, 0, 1));
    EXPECT_EQ(opacity[0], 0.75f);
    EXPECT_EQ(opacity[1], 0.5f);
    EXPECT_STREQ(picture.C_Str(), ".\\tex.jpg");
    std::filesystem::remove_all(root);
}

// Broken or hostile files are refused with the line where it helps; a missing library leaves
// the default materials, a face of more than four corners is left to assimp (no error).
TEST(ObjReader, BadFilesAreRefusedWithTheirLine) {
    std::string root = scratchFolder();
    std::string groups;
    for (int i = 0; i < 65536; i++)
        groups += "g " + std::to_string(i) + "\n";
    struct Case {
        std::string text, error;
    } cases[] = {
        {"v 0 0 0\nv 1 0 0\nf 1 2 3\n", "the face at line 3 names vertex 3 of 2"},
        {"v 0 0 0\nf 0 1 1\n", "the face at line 2 names vertex 0 of 1"},
        {"v 0 0 0\nf -2 1 1\n", "the face at line 2 names vertex -2 of 1"},
        {"v 0 0 0\nvt 0 0\nf 1/2 1 1\n", "the face at line 3 names texture coordinate 2 of 1"},
        {"v 0 0 0\nvn 0 0 1\n\nf 1//2 1 1\n", "the face at line 4 names normal 2 of 1"},
        {"v 0 0 0\nf 1 1 x\n", "the face at line 2 has something that is not an index"},
        {"v 0 0 0\nvt 0 0\nvn 0 0 1\nf 1/1/1/1 1 1\n",
         "the face at line 4 has a corner of four parts"},
        {"v nan 0 0\n", "line 1: the vertex has a number that is not finite"},
        {"v 0 1e999 0\n", "line 1: the vertex has a number that is not finite"},
        {"v 0 0\n", "line 1: a vertex has 2 numbers"},
        {"vn a b c\n", "line 1: the normal has something that is not a number"},
        {std::string("\x01\xff\n\0\0 junk\nv 0 0 0\n# ", 21) + std::string(1 << 20, 'x') +
             "\nf 1 1 1\n",
         ""},
        {"mtllib none.mtl\nusemtl x\nv 0 0 0\nf 1 1 1\n", ""},
        {"v 0 0 0\nf 1 1 1 1 1\n", ""},
        {groups, "line 32769: more than 65536 objects, groups and meshes"},
    };
    for (const Case& c : cases) {
        writeText(root + "/bad.obj", c.text);
        std::string error;
        std::unique_ptr<aiScene> scene = readObj(root + "/bad.obj", 1 << 30, error);
        EXPECT_EQ(error, c.error) << c.text.substr(0, 40);
        EXPECT_EQ(scene != nullptr,
                  c.error.empty() && c.text.find("1 1 1 1 1") == std::string::npos);
    }
    mkfifo((root + "/fifo.obj").c_str(), 0600);
    std::filesystem::create_directory(root + "/folder.obj");
    for (const char* name : {"/fifo.obj", "/folder.obj", "/bad.obj", "/none.obj"}) {
        std::string error;
        EXPECT_FALSE(readObj(root + name, 100, error)) << name;
        EXPECT_EQ(error.substr(0, 10), std::string(name) == "/none.obj"  ? "cannot ope"
                                       : std::string(name) == "/bad.obj" ? "it is larg"
                                                                         : "it is not ")
            << name;
    }
    std::filesystem::remove_all(root);
}
