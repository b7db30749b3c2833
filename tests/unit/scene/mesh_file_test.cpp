// Mesh files that are accepted: sections, option bits, free white space, texture names, and the
// details the map checker asks for (colour and texture lines, faults stepped over).
#include <algorithm>
#include <cstdint>

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

template <typename T> static std::string bytesOf(const std::vector<T>& v) {
    return std::string((const char*)v.data(), v.size() * sizeof(T));
}

// What a parse gives that the player or the checker may look at: the outcome with its lines and
// faults, and the arrays of an accepted mesh byte for byte (a failed parse leaves them
// unspecified).
static std::pair<std::string, std::string> parseWithSplit(const std::string& text,
                                                          size_t splitBytes, bool keepGoing) {
    TextReader reader;
    Mesh mesh;
    std::string texture;
    MeshFileDetails details;
    details.keepGoing = keepGoing;
    details.splitBytes = splitBytes;
    readerFromText(reader, "m.msh", text);
    const bool ok = parseMesh(reader, mesh, texture, details);
    std::string summary = readerErrorText(reader) + " at " + std::to_string(reader.pos) + " line " +
                          std::to_string(reader.line) + " faults " +
                          std::to_string(details.faultCount);
    for (const MeshFault& fault : details.faults) {
        summary += "; " + std::to_string(fault.line) + ": " + fault.message;
    }
    return {summary, ok ? bytesOf(mesh.vertices) + bytesOf(mesh.faces) + bytesOf(mesh.normals) +
                              bytesOf(mesh.faceUVs)
                        : ""};
}

// The same parse read in two halves (split forced down to any list) and on one thread.
static void expectSameSplitOrNot(const std::string& text, bool keepGoing, const std::string& what) {
    const auto split = parseWithSplit(text, 1, keepGoing);
    const auto whole = parseWithSplit(text, SIZE_MAX, keepGoing);
    EXPECT_EQ(split.first, whole.first) << what;
    EXPECT_TRUE(split.second == whole.second) << what;
}

TEST(MeshFile, ListsReadInTwoHalvesGiveWhatOneThreadGives) {
    // Four lists of 3000 entries, one line each, every entry its own numbers.
    const int n = 3000;
    const char* heads[] = {"vertices", "faces", "normales", "uv mapping"};
    std::vector<std::string> lines;
    std::vector<size_t> firstEntry; // line index of each list's entry 0
    for (int list = 0; list < 4; ++list) {
        if (list == 3) {
            lines.insert(lines.end(), {"couleur : 1 1 1", "option : 16", "texture : t.jpg"});
        }
        lines.push_back(std::string(heads[list]) + " (" + std::to_string(n) + ") :");
        firstEntry.push_back(lines.size());
        for (int i = 0; i < n; ++i) {
            const std::string a = std::to_string(i * 7 % 1009), b = std::to_string(i % 97);
            lines.push_back(list == 1   ? std::to_string(i) + " " + a + " " + b
                            : list == 3 ? a + ".5," + b + " 0,1." + b + " -" + b + "," + a
                                        : "-" + a + "." + b + " " + b + " " + a + ".25");
        }
    }
    auto join = [](const std::vector<std::string>& from) {
        std::string text;
        for (const std::string& line : from) {
            text += line + "\n";
        }
        return text;
    };
    const std::string plain = join(lines);
    ASSERT_EQ(parseWithSplit(plain, SIZE_MAX, false).second.size(), 60u * n);
    expectSameSplitOrNot(plain, false, "plain");
    // Two vertices a line: the second half's first line would be the one right after the list.
    std::vector<std::string> paired = lines;
    for (size_t line = firstEntry[0]; line < firstEntry[0] + n / 2; ++line) {
        paired[line] += " " + paired[line + 1];
        paired.erase(paired.begin() + (long)line + 1);
    }
    expectSameSplitOrNot(join(paired), false, "two vertices a line");
    // Lines that are not one plain entry, or faults, around the first entry of the second half and
    // further on.
    struct Edit {
        int list;
        const char* line; // "+" joins the entry with the next one
    } edits[] = {{0, "1e0 2 3"},       {0, "1  2 3"}, {0, "1 2 3\r"},    {0, "+"},
                 {0, "1 2\n3"},        {2, " 0 0 1"}, {2, ""},           {1, "0 1 3000"},
                 {1, "0 x 1"},         {1, "+"},      {1, "-1 0 2\n\n"}, {3, "0,0 1,0\n1,1"},
                 {3, "0,0e1 1,0 1,1"}, {3, "+"}};
    for (const Edit& edit : edits) {
        for (int at : {n / 2 - 1, n / 2, n / 2 + 1, n * 3 / 4}) {
            std::vector<std::string> edited = lines;
            const size_t line = firstEntry[(size_t)edit.list] + (size_t)at;
            if (edit.line == std::string("+")) {
                edited[line] += " " + edited[line + 1];
                edited.erase(edited.begin() + (long)line + 1);
            } else {
                edited[line] = edit.line;
            }
            for (bool keepGoing : {false, true}) {
                expectSameSplitOrNot(join(edited), keepGoing,
                                     std::to_string(edit.list) + " \"" + edit.line + "\" at " +
                                         std::to_string(at));
            }
        }
    }
}
