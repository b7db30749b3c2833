// Broken mesh, map and trajectory files: each fault's message and line, every prefix, damaged
// bytes, noise, huge counts and long words: refused naming the file and a line of it, or read into
// records that agree with their counts, and no allocation larger than the file could hold.
#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <new>
#include <unistd.h>

#include <gtest/gtest.h>

#include "base/file_map.h"
#include "path/trajectory_file.h"
#include "scene/map_file.h"
#include "scene/mesh_file.h"
#include "support/test_files.h"

// The largest single request to operator new while `allocationWatch` is on.
static bool allocationWatch = false;
static size_t largestAllocation = 0;

void* operator new(size_t size) {
    if (allocationWatch && size > largestAllocation) {
        largestAllocation = size;
    }
    void* p = malloc(size ? size : 1);
    return p ? p : (abort(), nullptr); // the tests never run out of memory on purpose
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

static const std::string VALID_PATH = "a title\nPOSITIONS 3\nCURVES 3\nLOOP 1\nSPEED 2.5\n"
                                      "START 1e1\n1 2 3\n4 5 6\n0 1 0\n\n-1.5 2 0x1p3\n4 5 6\n"
                                      "0 2 0\n\n7 8 9\n1 1 1\n7 9 9\n";

enum Kind { MESH, MAP, PATH };

struct Outcome {
    bool ok;
    TextReader reader;
    Mesh mesh;
    MapFile map;
    Trajectory path;
};

// Parses `text` as a mesh, a map or a trajectory and checks what any parse must leave; a
// trajectory read whole is a list of its points, a ring when LOOP is 1, and is released.
static Outcome parse(Kind kind, const std::string& text, const std::string& what) {
    Outcome o;
    std::string texture;
    largestAllocation = 0;
    allocationWatch = true;
    readerFromText(o.reader, kind == MESH ? "bad.msh" : kind == MAP ? "bad.mde" : "bad.dpl", text);
    o.ok = kind == MESH  ? parseMesh(o.reader, o.mesh, texture)
           : kind == MAP ? parseMapFile(o.reader, o.map)
                         : parseTrajectory(o.reader, o.path);
    allocationWatch = false;
    EXPECT_LE(largestAllocation, 48 * text.size() + 4096) << what;
    const Mesh& m = o.mesh;
    if (!o.ok) {
        const long lines = 1 + std::count(text.begin(), text.end(), '\n');
        EXPECT_TRUE(readerErrorText(o.reader).rfind(o.reader.path + ":", 0) == 0 &&
                    !o.reader.error.empty() && o.reader.errorLine >= 1 &&
                    o.reader.errorLine <= lines && !o.path.firstPoint && o.path.positions == 0)
            << what << ": " << readerErrorText(o.reader);
    } else if (kind == PATH) {
        const int points = std::max(o.path.positions, 1);
        int count = 0;
        const TrajectoryPoint* p = o.path.firstPoint;
        for (; p && count < points; count++) {
            p = p->next;
        }
        EXPECT_TRUE(count == points && p == (o.path.loop == 1 ? o.path.firstPoint : nullptr))
            << what;
        freeTrajectory(&o.path);
    } else if (kind == MESH) {
        EXPECT_TRUE(m.vertices.size() == (size_t)m.vertexCount &&
                    m.faces.size() == (size_t)m.faceCount * 3 &&
                    m.normals.size() >= (size_t)m.vertexCount &&
                    m.faceUVs.size() >= (m.textured ? (size_t)m.faceCount * 6 : 0) &&
                    std::all_of(m.faces.begin(), m.faces.end(),
                                [&](int corner) { return corner >= 0 && corner < m.vertexCount; }))
            << what;
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
        Kind kind;
        std::string text;
        int line;
        std::string message;
        int sections = 0; // map sections read before the fault
    } cases[] = {
        {MESH, "", 1, "expected \"vertices\", found end of file"},
        {MESH, "vertices (1) :\n0 0 0\nnormales (1) :\n", 3,
         "expected \"faces\", found \"normales\""},
        {MESH, "vertices (1) :\n0 zero 0\n", 2, "expected a number, found \"zero\""},
        {MESH, "vertices (2147483647) :\n", 1, "vertex count 2147483647" + std::string(larger)},
        {MESH, "vertices (99999999999) :\n", 1, "integer out of range: \"99999999999)\""},
        {MESH, "vertices (-2147483648) :\n", 1, "negative vertex count -2147483648"},
        {MESH, tri.substr(0, 33) + "faces (1000000000) :\n0 1 2\n", 5,
         "face count 1000000000" + std::string(larger)},
        {MESH, tri + "\n-1 1 2\n", 7, "face index -1 outside the 3 vertices"},
        {MESH, tri + "0 1 2\nnormales (1500000000) :\n", 7,
         "normal count 1500000000" + std::string(larger)},
        {MESH, head + "option : 16\ntexture :", 13, "expected a name, found end of file"},
        {MESH, textured + "(1073741824) :\n", 14, "uv count 1073741824" + std::string(larger)},
        {MESH, textured + "(1) :\n0 0 1,0 0,1\n", 15, "expected \",\", found \"0\""},
        {MAP, "Ma map", 1, "expected \"position\", found end of file", 0},
        {MAP, "t\nposition : 0 0 0\ntarget : 0 0 0\n", 3, "expected \"cible\", found \"target\"",
         0},
        {MAP, CAMERA.substr(0, CAMERA.find("anime : ") + 8) + "oui\n", 4,
         "expected an integer, found \"oui\"", 0},
        {MAP, CAMERA + "lampes (-1) :\n", 6, "expected \"monde\", found end of file", 2},
        {MAP, CAMERA + "lampes (3) :\nposition : 0 1 2\ncouleur : 1 1 1\nintensite : 1\n", 5,
         "lamp count 3" + std::string(larger), 1},
        {MAP, CAMERA + "lampes (1) :\nposition : 1 2 3\ncouleur : 1 1\nintensite : 1\n", 8,
         "expected a number, found \"intensite\"", 1},
        {MAP, lamps + "mondes (0) :\n", 6, "expected \"monde (\", found \"mondes\"", 2},
        {MAP, lamps + "monde\n\nx (0) :\n", 6, "expected \"monde (\", found \"monde\"", 2},
        {MAP, lamps + "monde (2) :\nsol\n", 8, "expected a name, found end of file", 2},
        {MAP, lamps + "monde (0) :\nobjets (5) :\na\nb\n", 7,
         "object count 5" + std::string(larger), 3},
        {MAP, lamps + "monde (0) :\nobjets (0) :\narbres (-3) :\n", 8, "negative tree count -3", 4},
        {MAP, "t\nposition" + std::string(100000, 'w'), 2,
         "expected \":\", found \"" + std::string(24, 'w') + "\"", 0},
        {PATH, "t\npositions 4\n", 2, "expected \"POSITIONS\", found \"positions\""},
        {PATH, "t\nPOSITIONS 1\nLOOP 0\nCURVES 1\n", 3, "expected \"CURVES\", found \"LOOP\""},
        {PATH, "t\nPOSITIONS 1\nCURVES 1\nLOOP 0\nSPEED fast\n", 5,
         "expected a number, found \"fast\""},
        {PATH, "t\nPOSITIONS -1\nCURVES 1\nLOOP 0\nSPEED 1\nSTART 0\n", 2,
         "negative POSITIONS count -1"},
        {PATH, "t\nPOSITIONS 4\nCURVES 3\nLOOP 0\nSPEED 1\nSTART 0\n0 0 0 0 0 0 0 0 0 0 0 0\n", 2,
         "POSITIONS count 4" + std::string(larger)},
        {PATH, "t\nPOSITIONS 3\nCURVES 1\n", 4, "expected \"LOOP\", found end of file"},
    };
    for (const Case& c : cases) {
        Outcome o = parse(c.kind, c.text, c.text.substr(0, 80));
        EXPECT_TRUE(!o.ok && o.reader.errorLine == c.line) << c.text << o.reader.errorLine;
        EXPECT_EQ(o.reader.error, c.message) << c.text;
        EXPECT_TRUE(c.kind != MAP || o.map.sectionsRead == c.sections) << c.text;
    }
}

TEST(Malformed, EveryPrefixIsRefusedUntilTheFileIsWhole) {
    // A mesh is whole from the last uv number on, and cut inside "option : 80" it reads
    // "option : 8", a whole file without a texture; a map is whole once its last name is there.
    size_t meshWhole = VALID_MESH.rfind(",1") + 2, optionEight = VALID_MESH.find("option : 8") + 10;
    for (size_t cut = 0; cut <= VALID_MESH.size(); ++cut) {
        bool ok = parse(MESH, VALID_MESH.substr(0, cut), "mesh cut " + std::to_string(cut)).ok;
        EXPECT_EQ(ok, cut >= meshWhole || cut == optionEight) << cut;
    }
    for (size_t cut = 0; cut <= VALID_MAP.size(); ++cut) {
        bool ok = parse(MAP, VALID_MAP.substr(0, cut), "map cut " + std::to_string(cut)).ok;
        EXPECT_EQ(ok, cut >= VALID_MAP.size() - 5) << cut;
    }
    for (size_t cut = 0; cut <= VALID_PATH.size(); ++cut) { // values past the end read as 0
        parse(PATH, VALID_PATH.substr(0, cut), "path cut " + std::to_string(cut));
    }
}

TEST(Malformed, DamagedBytesNoiseLongWordsAndLongNames) {
    // Bytes that change a file's meaning, or end a number in the middle.
    for (Kind kind : {MESH, MAP, PATH}) {
        const std::string& valid = kind == MESH ? VALID_MESH : kind == MAP ? VALID_MAP : VALID_PATH;
        for (size_t at = 0; at < valid.size(); ++at) {
            for (char d : {'9', '-', '+', '.', ' ', '\n', 'x', 'e', '\0', '\xff', ',', '(', ')'}) {
                std::string text = valid;
                text[at] = d;
                parse(kind, text, "byte " + std::to_string(at) + " made " + std::to_string(d));
            }
        }
    }
    std::string noise;
    for (unsigned i = 0, state = 12345; i < 4096; ++i) {
        state = state * 1103515245u + 12345u;
        noise += (char)(state >> 16);
    }
    for (Kind kind : {MESH, MAP, PATH}) {
        EXPECT_FALSE(parse(kind, noise, "noise").ok) << kind;
    }
    EXPECT_FALSE(parse(MESH, std::string(100000, 'w'), "long word").ok);
    EXPECT_FALSE(parse(MESH, "vertices (1) :\n" + std::string(100000, '7') + " 0 0\n", "7s").ok);
    // A name of 300 bytes and no line end after the last one are fine.
    std::string map = VALID_MAP;
    map.replace(map.find("sapin"), 5, std::string(300, 's'));
    Outcome o = parse(MAP, map.substr(0, map.size() - 1), "long name");
    ASSERT_TRUE(o.ok && o.map.trees.size() == 1) << readerErrorText(o.reader);
    EXPECT_EQ(o.map.trees[0].name, std::string(300, 's'));
}

// A file that holds fewer (or more) bytes than its size said when it was opened, as one cut or
// grown while it is read: "file changed or ended while read", never a signal or a half-read parse.
TEST(Malformed, FileShorterOrLongerThanItsSizeSaid) {
    const std::string dir = makeScratchDir();
    const std::string path = dir + "/cut.msh";
    for (size_t held = 0; held <= VALID_MESH.size(); held += 7) {
        writeTextFile(path, VALID_MESH.substr(0, held));
        for (size_t said : {VALID_MESH.size(), held + 1, held ? held - 1 : 0}) {
            const int fd = open(path.c_str(), O_RDONLY);
            ASSERT_GE(fd, 0);
            FileBytes bytes;
            const int err = readFileBytes(fd, said, bytes);
            close(fd);
            if (said == held || said == 0) {
                EXPECT_TRUE(err == 0 &&
                            std::string(bytes.data, bytes.size) == VALID_MESH.substr(0, held))
                    << held << " " << said;
            } else {
                EXPECT_TRUE(err == FILE_CHANGED && bytes.size == 0) << held << " " << said;
            }
        }
    }
    EXPECT_EQ(fileErrorText(FILE_CHANGED), "file changed or ended while read");
    removeScratchDir(dir);
}
