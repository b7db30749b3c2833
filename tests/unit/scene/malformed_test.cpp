// Malformed mesh and map files: every prefix of a valid file, damaged bytes, binary noise, huge
// and negative counts, long words, missing keywords. Each is refused with a message that names
// the file and a line inside it, or parsed into records that agree with their counts, and no
// single allocation is larger than the file could hold.
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "scene/map.h"
#include "scene/map_file.h"
#include "scene/mesh_file.h"
#include "unit/largest_allocation.h"
#include "unit/scene/test_files.h"

static const std::string VALID_MESH = "vertices (4) :\n"
                                      "0 0 0\n"
                                      "1.5 0 -2\n"
                                      "0 1 0\n"
                                      "0 0 1e2\n"
                                      "faces (2) :\n"
                                      "0 1 2\n"
                                      "0 2 3\n"
                                      "normales (4) :\n"
                                      "0 0 1\n"
                                      "0 0 1\n"
                                      "0 0 1\n"
                                      "1 0 0\n"
                                      "couleur : 0.5 0.25 1\n"
                                      "option : 80\n"
                                      "texture : herbe.jpg\n"
                                      "uv mapping (2) :\n"
                                      "0,0 1,0 1,1\n"
                                      "0,0 1,1 0,1\n";

static const std::string VALID_MAP = "une map\n"
                                     "position : 0 5 20\n"
                                     "cible : 0 0 0\n"
                                     "anime : 1\n"
                                     "lampes (1) :\n"
                                     "position : 10 20 10\n"
                                     "couleur : 1 1 1\n"
                                     "intensite : 1\n"
                                     "monde (2) :\n"
                                     "sol\n"
                                     "rocher\n"
                                     "objets (1) :\n"
                                     "oiseau\n"
                                     "arbres (1) :\n"
                                     "sapin\n";

// Most any reader may take for a file of `size` bytes: its own copy, and arrays of records a
// small multiple of the bytes that each record needs in the text.
static size_t allocationBound(size_t size) {
    return 48 * size + 4096;
}

static int linesOf(const std::string& text) {
    int lines = 1;
    for (char c : text) {
        lines += (c == '\n');
    }
    return lines;
}

// What a parse left: a refusal with a message naming the file and a line of it, or records
// that agree with their counts.
static void expectMeshOutcome(const std::string& text, const std::string& what) {
    TextReader reader;
    Mesh mesh;
    std::string textureName;
    watchAllocations();
    readerFromText(reader, "bad.msh", text);
    bool ok = parseMesh(reader, mesh, textureName);
    size_t largest = stopWatchingAllocations();
    EXPECT_LE(largest, allocationBound(text.size())) << what;
    if (!ok) {
        EXPECT_EQ(readerErrorText(reader).rfind("bad.msh:", 0), 0u) << what;
        EXPECT_FALSE(reader.error.empty()) << what;
        EXPECT_GE(reader.errorLine, 1) << what;
        EXPECT_LE(reader.errorLine, linesOf(text)) << what;
        return;
    }
    ASSERT_EQ(mesh.vertices.size(), (size_t)mesh.vertexCount) << what;
    ASSERT_EQ(mesh.faces.size(), (size_t)mesh.faceCount * 3) << what;
    EXPECT_GE(mesh.normals.size(), (size_t)mesh.vertexCount) << what;
    if (mesh.textured) {
        EXPECT_GE(mesh.faceUVs.size(), (size_t)mesh.faceCount * 6) << what;
    }
    for (int corner : mesh.faces) {
        ASSERT_TRUE(corner >= 0 && corner < mesh.vertexCount) << what << ": corner " << corner;
    }
}

static void expectMapOutcome(const std::string& text, const std::string& what) {
    TextReader reader;
    MapFile map;
    watchAllocations();
    readerFromText(reader, "bad.mde", text);
    bool ok = parseMapFile(reader, map);
    size_t largest = stopWatchingAllocations();
    EXPECT_LE(largest, allocationBound(text.size())) << what;
    if (!ok) {
        EXPECT_EQ(readerErrorText(reader).rfind("bad.mde:", 0), 0u) << what;
        EXPECT_FALSE(reader.error.empty()) << what;
        EXPECT_GE(reader.errorLine, 1) << what;
        EXPECT_LE(reader.errorLine, linesOf(text)) << what;
        return;
    }
    EXPECT_EQ(map.lamps.size(), (size_t)map.lampCount) << what;
    for (const auto* list : {&map.worlds, &map.objects, &map.trees}) {
        for (const MapEntry& entry : *list) {
            EXPECT_FALSE(entry.name.empty()) << what;
        }
    }
}

TEST(MalformedMesh, EveryPrefixIsRefusedUntilTheLastSectionIsWhole) {
    // The uv section is whole from its last number on; any shorter prefix must be refused but
    // one: cut inside "option : 80" it reads "option : 8", a whole file without a texture.
    size_t lastNumber = VALID_MESH.rfind(",1");
    size_t optionEight = VALID_MESH.find("option : 8") + 10;
    for (size_t cut = 0; cut <= VALID_MESH.size(); ++cut) {
        std::string prefix = VALID_MESH.substr(0, cut);
        expectMeshOutcome(prefix, "prefix of " + std::to_string(cut) + " bytes");
        TextReader reader;
        Mesh mesh;
        std::string textureName;
        readerFromText(reader, "bad.msh", prefix);
        EXPECT_EQ(parseMesh(reader, mesh, textureName), cut > lastNumber + 1 || cut == optionEight)
            << cut;
    }
}

TEST(MalformedMap, EveryPrefixIsRefusedUntilTheLastNameIsThere) {
    for (size_t cut = 0; cut <= VALID_MAP.size(); ++cut) {
        std::string prefix = VALID_MAP.substr(0, cut);
        expectMapOutcome(prefix, "prefix of " + std::to_string(cut) + " bytes");
        TextReader reader;
        MapFile map;
        readerFromText(reader, "bad.mde", prefix);
        EXPECT_EQ(parseMapFile(reader, map), cut >= VALID_MAP.size() - 5) << cut;
    }
}

TEST(MalformedMesh, EveryByteReplacedByEachKindOfDamage) {
    // Bytes that change a file's meaning: a digit, a sign, a point, white space, letters, NUL,
    // a high byte and a byte that ends a number in the middle.
    const char damage[] = {'9', '-', '.', ' ', '\n', 'x', 'e', '\0', '\xff', ',', '(', ')'};
    for (const std::string* valid : {&VALID_MESH, &VALID_MAP}) {
        for (size_t at = 0; at < valid->size(); ++at) {
            for (char d : damage) {
                std::string text = *valid;
                text[at] = d;
                std::string what = "byte " + std::to_string(at) + " made " + std::to_string((int)d);
                if (valid == &VALID_MESH) {
                    expectMeshOutcome(text, what);
                } else {
                    expectMapOutcome(text, what);
                }
            }
        }
    }
}

TEST(MalformedMesh, HugeNegativeAndZeroCountsFailFastWithoutAllocating) {
    struct Case {
        std::string text;
        const char* message; // empty: the file is accepted
    };
    std::string tail = "0 0 0\n0 0 0\n0 0 0\n";
    std::vector<Case> cases = {
        {"vertices (2000000000) :\n" + tail, "vertex count 2000000000 is larger than the rest of "
                                             "the file can hold"},
        {"vertices (2147483647) :\n", "vertex count 2147483647 is larger than the rest of the "
                                      "file can hold"},
        {"vertices (99999999999) :\n", "integer out of range: \"99999999999)\""},
        {"vertices (-2147483648) :\n", "negative vertex count -2147483648"},
        {"vertices (3) :\n" + tail + "faces (1000000000) :\n0 1 2\n",
         "face count 1000000000 is larger than the rest of the file can hold"},
        {"vertices (3) :\n" + tail + "faces (1) :\n0 1 2\nnormales (1500000000) :\n",
         "normal count 1500000000 is larger than the rest of the file can hold"},
        {"vertices (0) :\nfaces (1) :\n0 0 0\n", "face index 0 outside the 0 vertices"},
        {"vertices (3) :\n" + tail + "faces (1) :\n0 1 2\nnormales (3) :\n" + tail +
             "couleur : 1 1 1\noption : 16\ntexture : t.jpg\nuv mapping (1073741824) :\n",
         "uv count 1073741824 is larger than the rest of the file can hold"},
        {"vertices (0) :\nfaces (0) :\nnormales (0) :\ncouleur : 0 0 0\noption : 0", ""},
    };
    for (const Case& c : cases) {
        TextReader reader;
        Mesh mesh;
        std::string textureName;
        watchAllocations();
        readerFromText(reader, "huge.msh", c.text);
        bool ok = parseMesh(reader, mesh, textureName);
        size_t largest = stopWatchingAllocations();
        EXPECT_LE(largest, allocationBound(c.text.size())) << c.text;
        EXPECT_EQ(ok, *c.message == '\0') << c.text;
        EXPECT_EQ(reader.error, c.message) << c.text;
    }
}

TEST(MalformedMesh, FaceCornersOutsideTheVerticesAreRefused) {
    std::string head = "vertices (3) :\n0 0 0\n1 0 0\n0 1 0\nfaces (1) :\n";
    for (const char* corners : {"0 1 3", "-1 0 1", "0 2147483647 1", "0 1 -2147483648"}) {
        TextReader reader;
        Mesh mesh;
        std::string textureName;
        readerFromText(reader, "idx.msh", head + corners + "\n");
        EXPECT_FALSE(parseMesh(reader, mesh, textureName)) << corners;
        EXPECT_EQ(reader.errorLine, 6) << corners;
        EXPECT_NE(reader.error.find("outside the 3 vertices"), std::string::npos) << reader.error;
    }
}

TEST(MalformedFiles, BinaryNoiseAndLongWordsAreRefusedWithTheirLine) {
    std::string noise;
    unsigned state = 12345;
    for (int i = 0; i < 4096; ++i) {
        state = state * 1103515245u + 12345u;
        noise += (char)(state >> 16);
    }
    expectMeshOutcome(noise, "noise");
    expectMapOutcome(noise, "noise");
    std::string longWord(100000, 'w');
    expectMeshOutcome(longWord, "long word");
    expectMeshOutcome("vertices (1) :\n" + std::string(100000, '7') + " 0 0\n", "long number");
    // A name of any length is one word; a keyword glued to a long word is a misspelt keyword.
    std::string map = VALID_MAP;
    map.replace(map.find("sapin"), 5, std::string(300, 's'));
    TextReader reader;
    MapFile parsed;
    readerFromText(reader, "long.mde", map);
    ASSERT_TRUE(parsed.trees.empty());
    ASSERT_TRUE(parseMapFile(reader, parsed)) << readerErrorText(reader);
    ASSERT_EQ(parsed.trees.size(), 1u);
    EXPECT_EQ(parsed.trees[0].name, std::string(300, 's'));
    readerFromText(reader, "glued.mde", "t\nposition" + longWord);
    EXPECT_FALSE(parseMapFile(reader, parsed));
    EXPECT_EQ(reader.error, "expected \":\", found \"" + std::string(24, 'w') + "\"");
}

TEST(MalformedFiles, NoFinalLineEndIsAcceptedAndMissingKeywordsAreNamed) {
    TextReader reader;
    Mesh mesh;
    std::string textureName;
    std::string noEnd = VALID_MESH.substr(0, VALID_MESH.size() - 1);
    readerFromText(reader, "m.msh", noEnd);
    EXPECT_TRUE(parseMesh(reader, mesh, textureName)) << readerErrorText(reader);
    std::string noNormals = VALID_MESH;
    noNormals.replace(noNormals.find("normales"), 8, "normals ");
    readerFromText(reader, "m.msh", noNormals);
    EXPECT_FALSE(parseMesh(reader, mesh, textureName));
    EXPECT_EQ(readerErrorText(reader), "m.msh:9: error: expected \"normales\", found \"normals\"");
    MapFile map;
    std::string noObjects = VALID_MAP;
    noObjects.erase(noObjects.find("objets (1) :\noiseau\n"), 20);
    readerFromText(reader, "m.mde", noObjects);
    EXPECT_FALSE(parseMapFile(reader, map));
    EXPECT_EQ(readerErrorText(reader), "m.mde:12: error: expected \"objets\", found \"arbres\"");
}

TEST(MalformedFilesDeathTest, MapNameOfThreeHundredCharactersIsAMissingMap) {
    ScratchMap scratch = enterScratchMap("short");
    std::string name(300, 'm');
    std::string expected = "map/" + name + "/" + name + ".mde: File name too long\n";
    EXPECT_EXIT(loadMap(name), testing::ExitedWithCode(0), testing::HasSubstr(expected));
    leaveScratchMap(scratch);
}

TEST(MalformedFilesDeathTest, BrokenMeshOnDiskEndsWithItsPathAndLine) {
    ScratchMap scratch = enterScratchMap("cut");
    writeTextFile(scratch.dir + "cut.mde", "t\nposition : 0 0 0\ncible : 0 0 0\nanime : 0\n"
                                           "lampes (0) :\nmonde (1) :\nsol\nobjets (0) :\n"
                                           "arbres (0) :\n");
    writeTextFile(scratch.dir + "sol.msh", VALID_MESH.substr(0, 40));
    EXPECT_EXIT(loadMap("cut"), testing::ExitedWithCode(1),
                testing::HasSubstr("map/cut/sol.msh:5: error: expected a number, found end of "
                                   "file\n"));
    leaveScratchMap(scratch);
}
