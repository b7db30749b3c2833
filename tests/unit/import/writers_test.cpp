// Meshes written read back through the player's own reader to the same values; an import
// too large for the sky box says so.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include <gtest/gtest.h>

#include "import/import_run.h"
#include "import/map_writers.h"
#include "scene/mesh_file.h"

// Close enough for a value printed with 6 significant digits (4 for normals).
static void expectPrinted(float written, float read, float digits = 6) {
    EXPECT_NEAR(read, written, std::pow(10.0f, 1 - digits) * std::max(1.0f, std::fabs(written)))
        << written;
}

static MeshOut sampleMesh(int option) {
    MeshOut m;
    m.vertices = {0, 0, 0, 1.5f, -2e-7f, 123456.7f, -0.0f, 1e9f, -3.25f, 7, 8, 9};
    m.normals = {0, 0, 1, 0.57735f, 0.57735f, 0.57735f, -1, 0, 0, 0, 1, 0};
    m.faces = {0, 1, 2, 2, 3, 0};
    m.color[0] = 0.25f, m.color[1] = 1, m.color[2] = 0.0001f;
    m.option = option;
    if (option & 16) {
        m.texture = "mur_2.jpg";
        m.faceUVs = {0, 0, 1, 0, 0.333333f, 1, -2.5f, 4, 0.5f, 0.5f, 1, 1};
    }
    return m;
}

TEST(Writers, MeshesReadBackToTheSameRecord) {
    for (int option : {0, 16, 80, 112}) {
        MeshOut out = sampleMesh(option);
        TextReader reader;
        readerFromText(reader, "written.msh", meshText(out));
        Mesh in;
        std::string texture;
        ASSERT_TRUE(parseMesh(reader, in, texture)) << reader.error;
        ASSERT_EQ(in.vertexCount, 4);
        ASSERT_EQ(in.faceCount, 2);
        for (int i = 0; i < 4; i++) {
            expectPrinted(out.vertices[3 * i], in.vertices[i].x);
            expectPrinted(out.vertices[3 * i + 1], in.vertices[i].y);
            expectPrinted(out.vertices[3 * i + 2], in.vertices[i].z);
            expectPrinted(out.normals[3 * i + 1], in.normals[i].y, 4);
        }
        EXPECT_EQ(in.faces, out.faces);
        expectPrinted(out.color[2], in.color.b);
        EXPECT_EQ(in.textured, (option & 16) ? 1 : 0);
        EXPECT_EQ(in.emitsParticles, (option & 64) ? 1 : 0);
        EXPECT_EQ(in.depthTest, (option & 32) ? 0 : 1);
        EXPECT_EQ(texture, out.texture);
        ASSERT_EQ(in.faceUVs.size(), out.faceUVs.size());
        for (size_t i = 0; i < out.faceUVs.size(); i++) {
            expectPrinted(out.faceUVs[i], in.faceUVs[i]);
        }
    }
}

TEST(Writers, NumbersThatAreNotFiniteArePrintedAsZero) {
    for (auto [value, text] : {std::pair<float, const char*>{NAN, "0"},
                               {INFINITY, "0"},
                               {-INFINITY, "0"},
                               {-2.5f, "-2.5"},
                               {1e-7f, "1e-07"}})
        EXPECT_EQ(writtenNumber(value), text) << value;
}

// The sky box holds 140 units about its centre (0, 10, 0): 135 below the ground is 145 out.
TEST(Writers, AnImportTooLargeForTheSkyBoxSaysWhichScaleFits) {
    const std::string dir = testing::TempDir() + "writers-sky-" + std::to_string(getpid());
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/low.obj") << "v 0 -135 0\nv 1 -135 0\nv 0 -134 1\nf 1 2 3\n";
    ImportRequest request;
    request.sceneFile = dir + "/low.obj", request.mapName = "low", request.root = dir;
    std::vector<std::string> lines;
    std::string error, all;
    ASSERT_EQ(importScene(request, lines, error), 0) << error;
    for (const std::string& line : lines)
        all += line + "\n";
    EXPECT_NE(all.find("the scene reaches 145 units from the sky box centre, which holds 140: "
                       "--scale 0.965517 "),
              std::string::npos)
        << all;
    std::filesystem::remove_all(dir);
}
