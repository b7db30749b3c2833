// Mesh files that are accepted: sections, option bits, free white space, texture names, and the
// details the map checker asks for (colour and texture lines, faults stepped over).
#include <algorithm>

#include <gtest/gtest.h>

#include "scene/mesh_file.h"
#include "unit/scene/test_files.h"

static const std::string UV = "uv mapping (1) :\n0,0 1,0 0,1\n";

// Parses `text` as "m.msh" into `mesh`, expecting it to be accepted.
static std::string parseGood(const std::string& text, Mesh& mesh) {
    TextReader reader;
    std::string texture;
    readerFromText(reader, "m.msh", text);
    EXPECT_TRUE(parseMesh(reader, mesh, texture)) << readerErrorText(reader);
    return texture;
}

TEST(MeshFile, OptionBitsSwitchTextureDepthAndParticles) {
    // 16 textured, 32 no depth test, 64 emitter (its motion cleared); other bits change nothing.
    struct Case {
        int option, textured, depthTest, emits;
    } cases[] = {{0, 0, 1, 0},  {1, 0, 1, 0},  {2, 0, 1, 0},   {4, 0, 1, 0},
                 {8, 0, 1, 0},  {15, 0, 1, 0}, {128, 0, 1, 0}, {16, 1, 1, 0},
                 {36, 0, 0, 0}, {65, 0, 1, 1}, {112, 1, 0, 1}};
    for (const Case& c : cases) {
        Mesh mesh;
        mesh.motionDelta = {7, 8, 9};
        std::string text = triangleMeshUpToOption() + std::to_string(c.option) + "\n";
        parseGood(c.option & 16 ? text + "texture : t.jpg\n" + UV : text, mesh);
        EXPECT_EQ(mesh.textured, c.textured) << c.option;
        EXPECT_EQ(mesh.depthTest, c.depthTest) << c.option;
        EXPECT_EQ(mesh.emitsParticles, c.emits) << c.option;
        EXPECT_EQ(mesh.faceUVs.size(), c.textured ? 6u : 0u) << c.option;
        EXPECT_EQ(mesh.motionDelta.x + mesh.motionDelta.y + mesh.motionDelta.z, c.emits ? 0 : 24)
            << c.option;
    }
}

TEST(MeshFile, SectionsFillEveryFieldWhateverTheWhiteSpace) {
    // Also a long texture name, and more normals and uv lines than needed.
    Mesh mesh;
    std::string name = std::string(200, 'x') + ".jpg";
    std::string text = "\n\tvertices(2):0.5\t-1e1\n\n\n  +2 1 2 3 faces (1)\t:\r\n0 1 1 "
                       "normales (3) :0 1 0 1 0 0 0 0 1couleur:0.25 0.5 1\n\n\noption:   16 "
                       "texture:   " +
                       name + " uv mapping(2):0,0 1,0 1,1\n1,1 1,1 1,1";
    EXPECT_EQ(parseGood(text, mesh), name);
    ASSERT_EQ(mesh.vertices.size(), 2u);
    EXPECT_EQ(std::vector<float>({mesh.vertices[0].x, mesh.vertices[0].y, mesh.vertices[0].z,
                                  mesh.vertices[1].z, mesh.normals[2].z, mesh.color.r, mesh.color.g,
                                  mesh.color.b}),
              (std::vector<float>{0.5f, -10, 2, 3, 1, 0.25f, 0.5f, 1}));
    EXPECT_EQ(mesh.faces, (std::vector<int>{0, 1, 1}));
    EXPECT_EQ(mesh.normals.size(), 3u);
    EXPECT_EQ(mesh.faceUVs, (std::vector<float>{0, 0, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(mesh.faceDistance.size(), 1u);
    EXPECT_EQ(mesh.faceOrder.size(), 1u);
}

// 1-based line of the first `needle` in `text`.
static int lineOf(const std::string& text, const char* needle) {
    return 1 + (int)std::count(text.begin(), text.begin() + (long)text.find(needle), '\n');
}

TEST(MeshDetails, LinesForTheCheckerAndFaultsSteppedOver) {
    std::string head = "vertices (4) :\n0 0 0\n1 0 0\n1 1 0\n0 1 0\n";
    std::string faces = "faces (2) :\n0 1 2\n0 2 3\n";
    std::string normals = "normales (4) :\n0 0 1\n0 0 1\n0 0 1\n0 0 1\n";
    std::string middle = "couleur :\n\n0.5 0.5 0.5\noption : 16\ntexture :  mur.jpg\n";
    std::string uvs = "uv mapping (2) :\n0,0 1,0 1,1\n0,0 1,1 0,1\n";
    std::string many = "faces (30) :\n";
    for (int i = 0; i < 30; ++i) {
        many += "0 1 9\n";
    }
    struct Case {
        std::string text;
        std::vector<int> lines; // of the first faults, in order
        int count;              // faults counted
    } cases[] = {
        {head + faces + normals + middle + uvs, {}, 0},
        {head + "faces (2) :\n0 1 4\n-1 2 3\n" + normals + middle + uvs, {7, 8}, 2},
        {head + faces + "normales (3) :\n0 0 1\n0 0 1\n0 0 1\n" + middle + uvs, {9}, 1},
        {head + faces + normals + middle + "uv mapping (1) :\n0,0 1,0 1,1\n", {19}, 1},
        // Thirty bad corners and no uv lines for 30 faces: counted, kept to the limit.
        {head + many + normals + middle + "uv mapping (0) :\n", {7, 8}, 31},
    };
    for (const Case& c : cases) {
        std::string texture;
        TextReader reader;
        Mesh strict, checked;
        MeshFileDetails plain, lenient;
        lenient.keepGoing = true;
        readerFromText(reader, "m.msh", c.text);
        EXPECT_EQ(parseMesh(reader, strict, texture, plain), c.count == 0);
        MeshFault first{reader.errorLine, reader.error};
        readerFromText(reader, "m.msh", c.text);
        ASSERT_TRUE(parseMesh(reader, checked, texture, lenient)) << readerErrorText(reader);
        EXPECT_EQ(lenient.faultCount, c.count);
        ASSERT_EQ(lenient.faults.size(), (size_t)std::min(c.count, MESH_FAULT_LIMIT));
        for (size_t i = 0; i < c.lines.size(); ++i) {
            EXPECT_EQ(lenient.faults[i].line, c.lines[i]);
        }
        // The first fault stepped over is the one that stops the player's parse.
        if (c.count) {
            EXPECT_EQ(lenient.faults[0].line, first.line);
            EXPECT_EQ(lenient.faults[0].message, first.message);
        }
        // Every fault lies before the colour values and the texture name, which are still read.
        EXPECT_EQ(lenient.colorLine, lineOf(c.text, "0.5 0.5 0.5"));
        EXPECT_EQ(lenient.textureLine, lineOf(c.text, "texture"));
    }
}
