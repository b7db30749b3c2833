// Broken mesh and map files: each fault's message and line, every prefix of a valid file, damaged
// bytes, noise, huge counts and long words. Each is refused with a message naming the file and a
// line of it, or read into records that agree with their counts, and no single allocation is
// larger than the file could hold.
#include <algorithm>
#include <cstdlib>
#include <new>

#include <gtest/gtest.h>

#include "scene/map_file.h"
#include "scene/mesh_file.h"

// The largest single request to operator new while `allocationWatch` is on.
static bool allocationWatch = false;
static size_t largestAllocation = 0;

void* operator new(size_t size) {
    if (allocationWatch && size > largestAllocation) {
        largestAllocation = size;
    }
    void* p = malloc(size ? size : 1);
    if (p == nullptr) {
        abort(); // the tests never run out of memory on purpose
    }
    return p;
}
void operator delete(void* p) noexcept {
    free(p);
}
void operator delete(void* p, size_t) noexcept {
    free(p);
}

static const std::string VALID_MESH = "vertices (4) :\n0 0 0\n1.5 0 -2\n0 1 0\n0 0 1e2\n"
                                      "faces (2) :\n0 1 2\n0 2 3\n"
                                      "normales (4) :\n0 0 1\n0 0 1\n0 0 1\n1 0 0\n"
                                      "couleur : 0.5 0.25 1\noption : 80\ntexture : herbe.jpg\n"
                                      "uv mapping (2) :\n0,0 1,0 1,1\n0,0 1,1 0,1\n";
static const std::string CAMERA = "une map\nposition : 0 5 20\ncible : 0 0 0\nanime : 1\n";
static const std::string VALID_MAP = CAMERA + "lampes (1) :\nposition : 10 20 10\n"
                                              "couleur : 1 1 1\nintensite : 1\nmonde (2) :\n"
                                              "sol\nrocher\nobjets (1) :\noiseau\n"
                                              "arbres (1) :\nsapin\n";

struct Outcome {
    bool ok;
    TextReader reader;
    Mesh mesh;
    MapFile map;
};

// Parses `text` as a mesh ("bad.msh") or a map ("bad.mde") and checks what any parse must leave:
// a refusal naming the file and a line inside it, or records that agree with their counts; and
// no allocation beyond the reader's copy and records a small multiple of the text's bytes.
static Outcome parse(bool mesh, const std::string& text, const std::string& what) {
    Outcome o;
    std::string texture;
    largestAllocation = 0;
    allocationWatch = true;
    readerFromText(o.reader, mesh ? "bad.msh" : "bad.mde", text);
    o.ok = mesh ? parseMesh(o.reader, o.mesh, texture) : parseMapFile(o.reader, o.map);
    allocationWatch = false;
    EXPECT_LE(largestAllocation, 48 * text.size() + 4096) << what;
    const Mesh& m = o.mesh;
    if (!o.ok) {
        const long lines = 1 + std::count(text.begin(), text.end(), '\n');
        EXPECT_TRUE(readerErrorText(o.reader).rfind(o.reader.path + ":", 0) == 0 &&
                    !o.reader.error.empty() && o.reader.errorLine >= 1 &&
                    o.reader.errorLine <= lines)
            << what << ": " << readerErrorText(o.reader);
    } else if (mesh) {
        EXPECT_TRUE(m.vertices.size() == (size_t)m.vertexCount &&
                    m.faces.size() == (size_t)m.faceCount * 3 &&
                    m.normals.size() >= (size_t)m.vertexCount &&
                    m.faceUVs.size() >= (m.textured ? (size_t)m.faceCount * 6 : 0))
            << what;
        EXPECT_TRUE(std::all_of(m.faces.begin(), m.faces.end(), [&](int corner) {
            return corner >= 0 && corner < m.vertexCount;
        })) << what;
    } else {
        EXPECT_EQ(o.map.lamps.size(), (size_t)o.map.lampCount) << what;
    }
    return o;
}

TEST(Malformed, EachFaultNamesItsLine) {
    std::string tri = "vertices (3) :\n0 0 0\n1 0 0\n0 1 0\nfaces (1) :\n";
    std::string head = tri + "0 1 2\nnormales (3) :\n0 0 1\n0 0 1\n0 0 1\ncouleur : 1 1 1\n";
    std::string textured = head + "option : 16\ntexture : a.jpg\nuv mapping ";
    std::string lamps = CAMERA + "lampes (0) :\n";
    const char* larger = " is larger than the rest of the file can hold";
    struct Case {
        bool mesh;
        std::string text;
        int line;
        std::string message;
        int sections = 0; // map sections read before the fault
    } cases[] = {
        {true, "", 1, "expected \"vertices\", found end of file"},
        {true, "vertices (1) :\n0 0 0\nfaces (0) :\nnormals (1) :\n", 4,
         "expected \"normales\", found \"normals\""},
        {true, "vertices (1) :\n0 0 0\nnormales (1) :\n", 3,
         "expected \"faces\", found \"normales\""},
        {true, "vertices (1) :\n0 zero 0\n", 2, "expected a number, found \"zero\""},
        {true, "vertices (2) :\n0.5 0.5 0.5\n1.5 0.5", 3, "expected a number, found end of file"},
        {true, "vertices (2147483647) :\n", 1, "vertex count 2147483647" + std::string(larger)},
        {true, "vertices (99999999999) :\n", 1, "integer out of range: \"99999999999)\""},
        {true, "vertices (-2147483648) :\n", 1, "negative vertex count -2147483648"},
        {true, tri.substr(0, 33) + "faces (1000000000) :\n0 1 2\n", 5,
         "face count 1000000000" + std::string(larger)},
        {true, tri + "0 1 3\n", 6, "face index 3 outside the 3 vertices"},
        {true, tri + "\n-1 1 2\n", 7, "face index -1 outside the 3 vertices"},
        {true, tri + "0 1 2\nnormales (1500000000) :\n", 7,
         "normal count 1500000000" + std::string(larger)},
        {true, "vertices (2) :\n0 0 0\n1 0 0\nfaces (0) :\nnormales (1) :\n0 0 1\n", 5,
         "1 normals for 2 vertices"},
        {true, head, 12, "expected \"option\", found end of file"},
        {true, head + "option : 16\ntexture :", 13, "expected a name, found end of file"},
        {true, textured + "(1073741824) :\n", 14, "uv count 1073741824" + std::string(larger)},
        {true, textured + "(1) :\n0 0 1,0 0,1\n", 15, "expected \",\", found \"0\""},
        {true, textured + "(0) :\n", 14, "0 uv lines for 1 faces"},
        {false, "Ma map", 1, "expected \"position\", found end of file", 0},
        {false, "t\nposition : 0 0 0\ntarget : 0 0 0\n", 3, "expected \"cible\", found \"target\"",
         0},
        {false, CAMERA.substr(0, CAMERA.find("anime : ") + 8) + "oui\n", 4,
         "expected an integer, found \"oui\"", 0},
        {false, CAMERA + "lampe (0) :\n", 5, "expected \"lampes\", found \"lampe\"", 1},
        {false, CAMERA + "lampes (-1) :\n", 5, "negative lamp count -1", 1},
        {false, CAMERA + "lampes (3) :\nposition : 0 1 2\ncouleur : 1 1 1\nintensite : 1\n", 5,
         "lamp count 3" + std::string(larger), 1},
        {false, CAMERA + "lampes (1) :\nposition : 1 2 3\ncouleur : 1 1\nintensite : 1\n", 8,
         "expected a number, found \"intensite\"", 1},
        {false, lamps + "mondes (0) :\n", 6, "expected \"monde (\", found \"mondes\"", 2},
        {false, lamps + "monde (2) :\nsol\n", 8, "expected a name, found end of file", 2},
        {false, lamps + "monde (0) :\nobjets (5) :\na\nb\n", 7,
         "object count 5" + std::string(larger), 3},
        {false, lamps + "monde (0) :\nobjets (0) :\narbres (-3) :\n", 8, "negative tree count -3",
         4},
        {false, "t\nposition" + std::string(100000, 'w'), 2,
         "expected \":\", found \"" + std::string(24, 'w') + "\"", 0},
    };
    for (const Case& c : cases) {
        Outcome o = parse(c.mesh, c.text, c.text.substr(0, 80));
        EXPECT_FALSE(o.ok) << c.text;
        EXPECT_EQ(o.reader.errorLine, c.line) << c.text;
        EXPECT_EQ(o.reader.error, c.message) << c.text;
        EXPECT_TRUE(c.mesh || o.map.sectionsRead == c.sections) << c.text;
    }
}

TEST(Malformed, EveryPrefixIsRefusedUntilTheFileIsWhole) {
    // A mesh is whole from the last uv number on, and cut inside "option : 80" it reads
    // "option : 8", a whole file without a texture; a map is whole once its last name is there.
    size_t meshWhole = VALID_MESH.rfind(",1") + 2, optionEight = VALID_MESH.find("option : 8") + 10;
    for (size_t cut = 0; cut <= VALID_MESH.size(); ++cut) {
        bool ok = parse(true, VALID_MESH.substr(0, cut), "mesh cut " + std::to_string(cut)).ok;
        EXPECT_EQ(ok, cut >= meshWhole || cut == optionEight) << cut;
    }
    for (size_t cut = 0; cut <= VALID_MAP.size(); ++cut) {
        bool ok = parse(false, VALID_MAP.substr(0, cut), "map cut " + std::to_string(cut)).ok;
        EXPECT_EQ(ok, cut >= VALID_MAP.size() - 5) << cut;
    }
}

TEST(Malformed, DamagedBytesNoiseLongWordsAndLongNames) {
    // Bytes that change a file's meaning: a digit, a sign, a point, white space, letters, NUL,
    // a high byte and bytes that end a number in the middle.
    for (bool mesh : {true, false}) {
        const std::string& valid = mesh ? VALID_MESH : VALID_MAP;
        for (size_t at = 0; at < valid.size(); ++at) {
            for (char d : {'9', '-', '.', ' ', '\n', 'x', 'e', '\0', '\xff', ',', '(', ')'}) {
                std::string text = valid;
                text[at] = d;
                parse(mesh, text, "byte " + std::to_string(at) + " made " + std::to_string(d));
            }
        }
    }
    std::string noise;
    for (unsigned i = 0, state = 12345; i < 4096; ++i) {
        state = state * 1103515245u + 12345u;
        noise += (char)(state >> 16);
    }
    EXPECT_FALSE(parse(true, noise, "noise").ok || parse(false, noise, "noise").ok);
    EXPECT_FALSE(parse(true, std::string(100000, 'w'), "long word").ok);
    EXPECT_FALSE(parse(true, "vertices (1) :\n" + std::string(100000, '7') + " 0 0\n", "7s").ok);
    // A name of 300 bytes and no line end after the last one are fine.
    std::string map = VALID_MAP;
    map.replace(map.find("sapin"), 5, std::string(300, 's'));
    Outcome o = parse(false, map.substr(0, map.size() - 1), "long name");
    ASSERT_TRUE(o.ok && o.map.trees.size() == 1) << readerErrorText(o.reader);
    EXPECT_EQ(o.map.trees[0].name, std::string(300, 's'));
}
