// The map writers read back through the player's own readers to the same values, and a whole
// written map passes the checker.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#include <gtest/gtest.h>

#include "check.h"
#include "import/import_run.h"
#include "import/map_writers.h"
#include "path/trajectory_file.h"
#include "scene/map_file.h"
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
    for (float bad : {NAN, INFINITY, -INFINITY}) {
        EXPECT_EQ(writtenNumber(bad), "0");
    }
    EXPECT_EQ(writtenNumber(-2.5f), "-2.5");
    EXPECT_EQ(writtenNumber(1e-7f), "1e-07");
}

TEST(Writers, PathsReadBackPointByPoint) {
    for (int curves : {1, 2, 3}) {
        for (int loop : {0, 1}) {
            PathOut out;
            out.curves = curves;
            out.loop = loop;
            for (int i = 0; i < 5 * 3 * curves; i++) {
                out.values.push_back(i * 1.25f - 7);
            }
            TextReader reader;
            readerFromText(reader, "written.dpl", pathText(out));
            Trajectory in;
            ASSERT_TRUE(parseTrajectory(reader, in)) << reader.error;
            EXPECT_EQ(in.positions, 5);
            EXPECT_EQ(in.curves, curves);
            EXPECT_EQ(in.loop, loop);
            TrajectoryPoint* p = in.firstPoint;
            for (int i = 0; i < 5; i++, p = p->next) {
                const float* v = &out.values[3 * curves * i];
                expectPrinted(v[0], p->position.x);
                expectPrinted(v[2], p->position.z);
                if (curves >= 2)
                    expectPrinted(v[4], p->target.y);
                if (curves >= 3)
                    expectPrinted(v[8] - v[2], p->up.z); // track 3 reads as an offset
            }
            EXPECT_EQ(p, loop ? in.firstPoint : nullptr);
            freeTrajectory(&in);
        }
    }
}

TEST(Writers, MapsReadBackWithTheirLampsAndLists) {
    for (int lamps : {0, 1, 7}) {
        MapOut out;
        out.eye[0] = 1.5f, out.eye[1] = -2, out.eye[2] = 1e4f;
        out.target[1] = 0.125f;
        out.anime = 1;
        for (int i = 0; i < lamps; i++) {
            LampOut lamp;
            lamp.position[0] = (float)i;
            lamp.color[1] = 0.5f;
            lamp.intensity = 0.75f;
            out.lamps.push_back(lamp);
        }
        out.worlds = {"sol", "maison-2"};
        out.objects = {"avion"};
        out.trees = lamps ? std::vector<std::string>{"sapin", "chene"} : std::vector<std::string>{};
        TextReader reader;
        readerFromText(reader, "written.mde", mapText(out));
        MapFile in;
        ASSERT_TRUE(parseMapFile(reader, in)) << reader.error;
        EXPECT_EQ(in.sectionsRead, 5);
        expectPrinted(out.eye[2], in.camera.eye.z);
        expectPrinted(out.target[1], in.camera.target.y);
        EXPECT_EQ(in.camera.anime, 1);
        ASSERT_EQ(in.lampCount, lamps);
        for (int i = 0; i < lamps; i++) {
            EXPECT_FLOAT_EQ(in.lamps[i].position[0], (float)i);
            EXPECT_FLOAT_EQ(in.lamps[i].colour[1], 0.5f);
            EXPECT_FLOAT_EQ(in.lamps[i].colour[3], 0.75f);
        }
        auto names = [](const std::vector<MapEntry>& entries) {
            std::vector<std::string> out;
            for (const MapEntry& e : entries)
                out.push_back(e.name);
            return out;
        };
        EXPECT_EQ(names(in.worlds), out.worlds);
        EXPECT_EQ(names(in.objects), out.objects);
        EXPECT_EQ(names(in.trees), out.trees);
    }
}

TEST(Writers, AWrittenMapPassesTheChecker) {
    namespace fs = std::filesystem;
    std::string root = testing::TempDir() + "writers-check";
    fs::remove_all(root);
    fs::create_directories(root + "/map/w");
    fs::create_directories(root + "/textures");
    fs::copy_file("render/pictures/textures/back.jpg", root + "/textures/mur_2.jpg");
    auto put = [&](const std::string& name, const std::string& text) {
        std::ofstream(root + "/map/w/" + name, std::ios::binary) << text;
    };
    MapOut map;
    map.anime = 1;
    map.worlds = {"sol"};
    map.objects = {"avion"};
    map.lamps.resize(2);
    put("w.mde", mapText(map));
    put("sol.msh", meshText(sampleMesh(16)));
    put("avion.msh", meshText(sampleMesh(80)));
    PathOut path;
    path.curves = 2;
    path.values.assign(6 * 100, 1.0f);
    put("avion.dpl", pathText(path));
    put("camera.dpl", pathText(path));
    int errors = 0;
    for (const Finding& f : checkMap(root + "/", "w")) {
        errors += f.error;
        EXPECT_FALSE(f.error) << findingText(f);
    }
    EXPECT_EQ(errors, 0);
    fs::remove_all(root);
}

// The sky box holds 140 units about its centre (0, 10, 0): 135 below the ground is 145 out.
TEST(Writers, AnImportTooLargeForTheSkyBoxSaysWhichScaleFits) {
    const std::string dir = testing::TempDir() + "writers-sky-" + std::to_string(getpid());
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::ofstream(dir + "/low.obj") << "v 0 -135 0\nv 1 -135 0\nv 0 -134 1\nf 1 2 3\n";
    ImportRequest request;
    request.sceneFile = dir + "/low.obj";
    request.mapName = "low";
    request.root = dir;
    std::vector<std::string> lines;
    std::string error;
    ASSERT_EQ(importScene(request, lines, error), 0) << error;
    bool noted = false;
    for (const std::string& line : lines)
        noted = noted ||
                line.find("the scene reaches 145 units from the sky box centre, which holds 140: "
                          "--scale 0.965517 ") != std::string::npos;
    EXPECT_TRUE(noted);
    std::filesystem::remove_all(dir);
}
