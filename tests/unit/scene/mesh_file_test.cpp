// Mesh files: sections, option bits, the texture section, and the files that must be refused.
#include <cmath>

#include <gtest/gtest.h>

#include "scene/mesh_file.h"
#include "unit/scene/test_files.h"

static const char* const TRIANGLE_HEAD = "vertices (3) :\n"
                                         "0 0 0\n"
                                         "1 0 0\n"
                                         "0 1 0\n"
                                         "faces (1) :\n"
                                         "0 1 2\n"
                                         "normales (3) :\n"
                                         "0 0 1\n"
                                         "0 0 1\n"
                                         "0 0 1\n"
                                         "couleur : 0.25 0.5 1\n";

// Parses `text` as the mesh file "m.msh"; returns whether it parsed.
static bool parseText(const std::string& text, Mesh& mesh, std::string& texture,
                      TextReader& reader) {
    readerFromText(reader, "m.msh", text);
    return parseMesh(reader, mesh, texture);
}

// Parses the triangle with the given option line and returns the mesh, expecting success.
static Mesh triangleWithOption(int option) {
    std::string text = std::string(TRIANGLE_HEAD) + "option : " + std::to_string(option) + "\n";
    if (option & 16) {
        text += "texture : mur.jpg\nuv mapping (1) :\n0,0 1,0 0,1\n";
    }
    Mesh mesh;
    mesh.motionDelta = {7, 8, 9};
    std::string texture;
    TextReader reader;
    EXPECT_TRUE(parseText(text, mesh, texture, reader)) << readerErrorText(reader);
    return mesh;
}

TEST(MeshFile, TexturedTriangleFillsEveryField) {
    Mesh mesh = triangleWithOption(16);
    EXPECT_EQ(mesh.vertexCount, 3);
    EXPECT_EQ(mesh.faceCount, 1);
    ASSERT_EQ(mesh.vertices.size(), 3u);
    EXPECT_EQ(mesh.vertices[1].x, 1.0f);
    EXPECT_EQ(mesh.vertices[2].y, 1.0f);
    EXPECT_EQ(mesh.faces, (std::vector<int>{0, 1, 2}));
    ASSERT_EQ(mesh.normals.size(), 3u);
    EXPECT_EQ(mesh.normals[2].z, 1.0f);
    EXPECT_EQ(mesh.color.r, 0.25f);
    EXPECT_EQ(mesh.color.g, 0.5f);
    EXPECT_EQ(mesh.color.b, 1.0f);
    EXPECT_EQ(mesh.textured, 1);
    EXPECT_EQ(mesh.faceUVs, (std::vector<float>{0, 0, 1, 0, 0, 1}));
    EXPECT_EQ(mesh.faceDistance.size(), 1u);
    EXPECT_EQ(mesh.faceOrder.size(), 1u);
}

TEST(MeshFile, OptionZeroAndTheIgnoredBitsGiveAPlainMesh) {
    for (int option : {0, 1, 2, 4, 8, 15, 128}) {
        Mesh mesh = triangleWithOption(option);
        EXPECT_EQ(mesh.textured, 0) << option;
        EXPECT_EQ(mesh.depthTest, 1) << option;
        EXPECT_EQ(mesh.emitsParticles, 0) << option;
        EXPECT_TRUE(mesh.faceUVs.empty()) << option;
        // Only an emitter has its motion cleared.
        EXPECT_EQ(mesh.motionDelta.x, 7.0f) << option;
    }
}

TEST(MeshFile, OptionBitsSwitchTextureDepthAndParticles) {
    Mesh all = triangleWithOption(112);
    EXPECT_EQ(all.textured, 1);
    EXPECT_EQ(all.depthTest, 0);
    EXPECT_EQ(all.emitsParticles, 1);
    EXPECT_EQ(all.motionDelta.x, 0.0f);
    EXPECT_EQ(all.motionDelta.y, 0.0f);
    EXPECT_EQ(all.motionDelta.z, 0.0f);

    Mesh noDepth = triangleWithOption(32 + 4);
    EXPECT_EQ(noDepth.textured, 0);
    EXPECT_EQ(noDepth.depthTest, 0);
    EXPECT_EQ(noDepth.emitsParticles, 0);

    Mesh particles = triangleWithOption(64 + 1);
    EXPECT_EQ(particles.textured, 0);
    EXPECT_EQ(particles.depthTest, 1);
    EXPECT_EQ(particles.emitsParticles, 1);
}

TEST(MeshFile, WhiteSpaceBetweenNumbersAndSectionsIsFree) {
    std::string text = "\n\tvertices(1):0.5\t-1e1\n\n\n  +2 faces (0)\t:\r\nnormales (1) :"
                       "0 1 0couleur:1 1 1\n\n\noption:   16 texture:   a.tga uv mapping(0):";
    Mesh mesh;
    std::string texture;
    TextReader reader;
    ASSERT_TRUE(parseText(text, mesh, texture, reader)) << readerErrorText(reader);
    EXPECT_EQ(mesh.vertices[0].y, -10.0f);
    EXPECT_EQ(mesh.vertices[0].z, 2.0f);
    EXPECT_EQ(mesh.faceCount, 0);
    EXPECT_EQ(texture, "a.tga");
}

TEST(MeshFile, TextureNamesOfAnyLength) {
    std::string name(200, 'x');
    name += ".jpg";
    std::string text = std::string(TRIANGLE_HEAD) + "option : 16\ntexture : " + name +
                       "\nuv mapping (2) :\n0,0 1,0 0,1\n1,1 1,1 1,1\n";
    Mesh mesh;
    std::string texture;
    TextReader reader;
    ASSERT_TRUE(parseText(text, mesh, texture, reader));
    EXPECT_EQ(texture, name);
    EXPECT_EQ(mesh.faceUVs.size(), 12u);
}

struct BadMesh {
    const char* what;
    std::string text;
    int line;
    const char* message;
};

TEST(MeshFile, BrokenFilesNameTheLineAndTheFault) {
    std::string head = TRIANGLE_HEAD;
    std::vector<BadMesh> cases = {
        {"english keyword", "vertices (1) :\n0 0 0\nfaces (0) :\nnormals (1) :\n0 0 1\n", 4,
         "expected \"normales\", found \"normals\""},
        {"missing section", "vertices (1) :\n0 0 0\nnormales (1) :\n0 0 1\n", 3,
         "expected \"faces\", found \"normales\""},
        {"word for a number", "vertices (1) :\n0 zero 0\n", 2, "expected a number, found \"zero\""},
        {"negative count", "vertices (-2) :\n", 1, "negative vertex count -2"},
        {"count beyond file", "vertices (1000000000) :\n0 0 0\n", 1,
         "vertex count 1000000000 is larger than the rest of the file can hold"},
        {"count overflow", "vertices (99999999999) :\n", 1,
         "integer out of range: \"99999999999)\""},
        {"face index too big", "vertices (3) :\n0 0 0\n1 0 0\n0 1 0\nfaces (1) :\n0 1 3\n", 6,
         "face index 3 outside the 3 vertices"},
        {"negative face index", "vertices (3) :\n0 0 0 1 0 0 0 1 0\nfaces (1) :\n\n-1 1 2\n", 5,
         "face index -1 outside the 3 vertices"},
        {"fewer normals", "vertices (2) :\n0 0 0\n1 0 0\nfaces (0) :\nnormales (1) :\n0 0 1\n", 5,
         "1 normals for 2 vertices"},
        {"fewer uv lines",
         "vertices (3) :\n0 0 0\n1 0 0\n0 1 0\nfaces (2) :\n0 1 2\n2 1 0\nnormales (3) :\n"
         "0 0 1\n0 0 1\n0 0 1\ncouleur : 1 1 1\noption : 16\ntexture : a.jpg\n"
         "uv mapping (1) :\n0,0 1,0 0,1\n1,1 1,1 1,1\n",
         15, "1 uv lines for 2 faces"},
        {"uv without comma", head + "option : 16\ntexture : a.jpg\nuv mapping (1) :\n0 0 1,0 0,1\n",
         15, "expected \",\", found \"0\""},
        {"no option", head, 12, "expected \"option\", found end of file"},
        {"truncated vertices", "vertices (2) :\n0.5 0.5 0.5\n1.5 0.5", 3,
         "expected a number, found end of file"},
        {"texture name missing", head + "option : 16\ntexture :", 13,
         "expected a name, found end of file"},
        {"empty file", "", 1, "expected \"vertices\", found end of file"},
    };
    for (const BadMesh& c : cases) {
        Mesh mesh;
        std::string texture;
        TextReader reader;
        EXPECT_FALSE(parseText(c.text, mesh, texture, reader)) << c.what;
        EXPECT_EQ(reader.errorLine, c.line) << c.what;
        EXPECT_EQ(reader.error, c.message) << c.what;
    }
}

TEST(MeshFile, MoreNormalsAndUvLinesThanNeededAreAccepted) {
    std::string text = "vertices (1) :\n0 0 0\nfaces (0) :\nnormales (2) :\n0 0 1\n0 1 0\n"
                       "couleur : 1 1 1\noption : 80\ntexture : a.jpg\nuv mapping (1) :\n"
                       "0,0 0,0 0,0\n";
    Mesh mesh;
    std::string texture;
    TextReader reader;
    ASSERT_TRUE(parseText(text, mesh, texture, reader)) << readerErrorText(reader);
    EXPECT_EQ(mesh.normals.size(), 2u);
    EXPECT_EQ(mesh.faceUVs.size(), 6u);
}

TEST(MeshLoad, PlainMeshPrintsItsLoadingLine) {
    std::string dir = makeScratchDir();
    std::string path = dir + "/cube.msh";
    writeTextFile(path, std::string(TRIANGLE_HEAD) + "option : 64\n");
    testing::internal::CaptureStdout();
    Mesh mesh = loadMesh(path);
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "\tChargement du mesh " + path + " ...\n");
    EXPECT_EQ(mesh.vertexCount, 3);
    EXPECT_EQ(mesh.emitsParticles, 1);
    removeScratchDir(dir);
}

TEST(MeshLoadDeathTest, MissingFileEndsWithStatusOne) {
    std::string dir = makeScratchDir();
    std::string path = dir + "/absent.msh";
    EXPECT_EXIT(loadMesh(path), testing::ExitedWithCode(1),
                "^" + path + ": No such file or directory\n$");
    removeScratchDir(dir);
}

TEST(MeshLoadDeathTest, BrokenFileEndsWithStatusOneAndFileLine) {
    std::string dir = makeScratchDir();
    std::string path = dir + "/bad.msh";
    writeTextFile(path, "vertices (1) :\n0 0 0\nfaces (1) :\n0 0 9\n");
    EXPECT_EXIT(loadMesh(path), testing::ExitedWithCode(1),
                "^" + path + ":4: error: face index 9 outside the 1 vertices\n$");
    removeScratchDir(dir);
}
