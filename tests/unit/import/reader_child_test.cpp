// The reader's child: its messages come back in order, and a crash, a runaway allocation, a
// hang or a stop request each end it with their own line.
#include <csignal>
#include <cstdlib>
#include <unistd.h>

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
