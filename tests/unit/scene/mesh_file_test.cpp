// Mesh files that are accepted: option bits, free white space, the checker's details, and long
// lists read whole lines at a time and in two halves, value for value as strtof and one thread.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "scene/mesh_file.h"
#include "support/test_files.h"

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
    // 16 textured, 32 no depth test, 64 emitter; other bits change nothing.
    const int cases[][4] = {{0, 0, 1, 0},  {15, 0, 1, 0}, {128, 0, 1, 0}, {16, 1, 1, 0},
                            {36, 0, 0, 0}, {65, 0, 1, 1}, {112, 1, 0, 1}};
    for (const auto& c : cases) {
        Mesh mesh;
        std::string text = triangleMeshUpToOption() + std::to_string(c[0]) + "\n";
        parseGood(c[0] & 16 ? text + "texture : t.jpg\n" + UV : text, mesh);
        EXPECT_TRUE(mesh.textured == c[1] && mesh.depthTest == c[2] &&
                    mesh.emitsParticles == c[3] && mesh.faceUVs.size() == (c[1] ? 6u : 0u))
            << c[0];
    }
}

TEST(MeshFile, SectionsWithoutBlanksAndLongerListsThanNeeded) {
    Mesh mesh;
    std::string name = std::string(200, 'x') + ".jpg";
    EXPECT_EQ(
        parseGood("vertices(2):0.5\t-1e1\n\n+2 1 2 3 faces (1)\t:\r\n0 1 1 normales (3) :0 1 0 1 "
                  "0 0 0 0 1couleur:0.25 0.5 1 option:16 texture:" +
                      name + " uv mapping(2):0,0 1,0 1,1\n1,1 1,1 1,1",
                  mesh),
        name);
    EXPECT_TRUE(mesh.vertices.size() == 2 && mesh.vertices[0].y == -10 && mesh.vertices[1].z == 3 &&
                mesh.normals[2].z == 1 && mesh.color.g == 0.5f);
    EXPECT_EQ(mesh.faceUVs, (std::vector<float>{0, 0, 1, 0, 1, 1, 1, 1, 1, 1, 1, 1}));
}

// (Faults stepped over one by one, with their lines, are in the checker's end-to-end tests.)
TEST(MeshDetails, ManyFaultsAreCountedKeptToTheLimitAndTheFirstIsThePlayersError) {
    std::string text = "vertices (4) :\n0 0 0\n1 0 0\n1 1 0\n0 1 0\nfaces (30) :\n";
    for (int i = 0; i < 30; ++i) {
        text += "0 1 9\n";
    }
    text += "normales (4) :\n0 0 1\n0 0 1\n0 0 1\n0 0 1\ncouleur :\n\n0.5 0.5 0.5\noption : 16\n"
            "texture :  mur.jpg\nuv mapping (0) :\n";
    std::string texture;
    TextReader reader;
    Mesh strict, checked;
    MeshFileDetails lenient;
    lenient.keepGoing = true;
    readerFromText(reader, "m.msh", text);
    EXPECT_FALSE(parseMesh(reader, strict, texture));
    const MeshFault first{reader.errorLine, reader.error};
    readerFromText(reader, "m.msh", text);
    ASSERT_TRUE(parseMesh(reader, checked, texture, lenient)) << readerErrorText(reader);
    EXPECT_EQ(lenient.faultCount, 31); // and no uv lines for 30 faces
    ASSERT_EQ(lenient.faults.size(), (size_t)MESH_FAULT_LIMIT);
    EXPECT_TRUE(lenient.faults[0].line == first.line && lenient.faults[0].message == first.message);
    EXPECT_TRUE(lenient.faults[1].line == 8 && lenient.colorLine == 44 &&
                lenient.textureLine == 46);
}

template <typename T> static std::string bytesOf(const std::vector<T>& v) {
    return std::string((const char*)v.data(), v.size() * sizeof(T));
}

// What a parse gives: the outcome with its lines and faults, then an accepted mesh's arrays byte
// for byte; split into two halves from `splitBytes` of list on.
static std::string parsed(const std::string& text, size_t splitBytes, bool keepGoing,
                          Mesh* kept = nullptr, int64_t firstLine = 1) {
    TextReader reader;
    Mesh mesh;
    std::string texture;
    MeshFileDetails details;
    details.keepGoing = keepGoing;
    details.splitBytes = splitBytes;
    readerFromText(reader, "m.msh", text);
    reader.line = firstLine;
    const bool ok = parseMesh(reader, mesh, texture, details);
    std::string summary = readerErrorText(reader) + " at " + std::to_string(reader.pos) + " line " +
                          std::to_string(reader.line) + " faults " +
                          std::to_string(details.faultCount);
    for (const MeshFault& fault : details.faults) {
        summary += "; " + std::to_string(fault.line) + ": " + fault.message;
    }
    if (kept) {
        *kept = mesh;
    }
    return ok ? summary + bytesOf(mesh.vertices) + bytesOf(mesh.faces) + bytesOf(mesh.normals) +
                    bytesOf(mesh.faceUVs)
              : summary;
}

static std::string joinLines(const std::vector<std::string>& from) {
    std::string text;
    for (const std::string& line : from) {
        text += line + "\n";
    }
    return text;
}

// Long lists of plain lines, and in their last entries numbers of any form (the whole-line scans
// leave the odd ones to the general reads; the halfway cases only they round right) and gaps of
// tabs and line ends: values as strtof gives them, and the same parse in two halves as on one
// thread, around the second half's first entry and further on, with entries that are not one
// plain line and faults ("+" joins an entry with the next one).
TEST(MeshFile, LongListsGiveStrtofValuesAndTheSameInTwoHalvesAsOnOneThread) {
    const int n = 3000;
    std::mt19937 random(7);
    std::uniform_int_distribution<long long> digits(0, 9999999999);
    std::uniform_int_distribution<int> pick(0, 59), vertex(0, n - 1);
    const char* odd[] = {"1e-2",       "+3.5",        "0x1.8p1",          ".5",
                         "5.",         "8388608.5",   "1.00000005960464", "8388609.5",
                         "12345678.5", "0000001.500", "-7654321.1234567"};
    const char* heads[] = {"vertices", "faces", "normales", "uv mapping"};
    std::vector<std::string> lines, numbers[4]; // numbers: the texts of each list's values
    std::vector<int> faces;
    std::vector<size_t> firstEntry; // line index of each list's entry 0
    for (int list = 0; list < 4; ++list) {
        if (list == 3) {
            lines.insert(lines.end(), {"couleur : 1 1 1", "option : 16", "texture : t.jpg"});
        }
        lines.push_back(std::string(heads[list]) + " (" + std::to_string(n) + ") :");
        firstEntry.push_back(lines.size());
        for (int i = 0; i < n; ++i) {
            const bool tail = i >= n - 100;
            std::string entry;
            for (int k = 0; k < (list == 3 ? 6 : 3); ++k) {
                const int f = pick(random);
                const std::string a = std::to_string((i * 7 + k) % 1009),
                                  b = std::to_string(i % 97);
                std::string value = k % 3 == 0 ? "-" + a + "." + b : k % 3 == 1 ? b : a + ".25";
                if (tail) {
                    value = f < 11 ? odd[f]
                                   : (f % 5 ? "" : "-") + std::to_string(digits(random)) +
                                         (f % 3 ? "" : "." + std::to_string(digits(random)));
                }
                if (list == 1) {
                    faces.push_back(vertex(random));
                    value = (tail && i % 7 == 5 ? "+" : "") + std::to_string(faces.back());
                } else {
                    numbers[list].push_back(value);
                }
                const char* gap = !tail || f > 2 ? " " : f == 0 ? "\t " : f == 1 ? "\r\n" : "  \n ";
                entry += (k == 0 ? "" : list == 3 && k % 2 ? "," : gap) + value;
            }
            lines.push_back(entry);
        }
    }
    Mesh mesh;
    const std::string plain = parsed(joinLines(lines), SIZE_MAX, false, &mesh);
    ASSERT_EQ(mesh.faceUVs.size(), 6u * n) << plain.substr(0, 200);
    const float* arrays[4] = {&mesh.vertices[0].x, nullptr, &mesh.normals[0].x, &mesh.faceUVs[0]};
    for (int list : {0, 2, 3}) {
        for (size_t i = 0; i < numbers[list].size(); ++i) {
            const float expected = std::strtof(numbers[list][i].c_str(), nullptr);
            ASSERT_EQ(std::memcmp(&arrays[list][i], &expected, sizeof expected), 0)
                << heads[list] << " value " << i << " \"" << numbers[list][i] << "\"";
        }
    }
    EXPECT_EQ(mesh.faces, faces);
    EXPECT_TRUE(parsed(joinLines(lines), 1, false) == plain);
    const std::pair<int, const char*> edits[] = {
        {0, "1e0 2 3"},       {0, "1  2 3"}, {0, "1 2 3\r"},    {0, "+"},
        {0, "1 2\n3"},        {2, " 0 0 1"}, {2, ""},           {1, "0 1 3000"},
        {1, "0 x 1"},         {1, "+"},      {1, "-1 0 2\n\n"}, {3, "0,0 1,0\n1,1"},
        {3, "0,0e1 1,0 1,1"}, {3, "+"}};
    for (const auto& [list, edit] : edits) {
        for (int at : {n / 2 - 1, n / 2, n / 2 + 1, n * 3 / 4}) {
            std::vector<std::string> edited = lines;
            const size_t line = firstEntry[(size_t)list] + (size_t)at;
            if (edit == std::string("+")) {
                edited[line] += " " + edited[line + 1];
                edited.erase(edited.begin() + (long)line + 1);
            } else {
                edited[line] = edit;
            }
            const std::string text = joinLines(edited), what = edit + std::string(" at ");
            for (bool keepGoing : {false, true}) {
                EXPECT_TRUE(parsed(text, 1, keepGoing) == parsed(text, SIZE_MAX, keepGoing))
                    << what << at << " " << list;
            }
            if (edit == std::string("0 1 3000")) { // the fault keeps its own line
                const std::string before = joinLines({lines.begin(), lines.begin() + (long)line});
                const std::string head =
                    "m.msh:" + std::to_string(1 + std::count(before.begin(), before.end(), '\n')) +
                    ": error: face index";
                EXPECT_EQ(parsed(text, 1, false).rfind(head + " 3000 outside", 0), 0u) << at;
            }
        }
    }
}

// Lines are counted in 64 bits: a file whose text starts past 2^31 line ends (a reader started
// there stands for one) names its lines past 2147483647, through the plain-line scans on one and
// on two threads, the general reads, and the counts of a keep-going parse.
TEST(MeshFile, LinesPastTwoToTheThirtyFirst) {
    const int64_t before = 2147483647 - 3;
    std::string vertices;
    for (int i = 0; i < 400; i++) {
        vertices += std::to_string(i) + " 0.5 -1\n";
    }
    const std::string text = "vertices (400) :\n" + vertices + "faces (1) :\n0 1 9999\n" +
                             "normales (1) :\n0 0 1\ncouleur : 1 x 1\n";
    for (size_t split : {(size_t)1, SIZE_MAX}) { // the face line, then the normal count
        EXPECT_EQ(parsed(text, split, true, nullptr, before + 1),
                  "m.msh:2147484050: error: expected a number, found \"x\" at 4361 line 2147484050 "
                  "faults 2; 2147484047: face index 9999 outside the 400 vertices; 2147484048: 1 "
                  "normals for 400 vertices")
            << split;
    }
}
