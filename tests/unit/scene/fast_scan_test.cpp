// The fast number scans of the text reader and the mesh lists read through them: the same
// values, ends and lines as the C library and the general reads, at every length and position.
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

#include <gtest/gtest.h>

#include "scene/mesh_file.h"
#include "scene/text_reader.h"

namespace {

TextReader readerOver(const std::string& text) {
    TextReader reader;
    readerFromText(reader, "f.txt", text);
    return reader;
}

bool sameBits(float a, float b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every digit run of 1 to 22 digits, with and without a point, ending 0 to 9 bytes before the
// end of the text, so that both the eight-byte and the byte-by-byte paths end inside it.
TEST(FastScan, DigitRunsOfEveryLengthAtEveryDistanceFromTheEnd) {
    const std::string digits = "1928374655647382910928";
    for (size_t length = 1; length <= digits.size(); length++) {
        for (size_t point = 0; point <= length; point += (length > 3 ? length / 3 : 1)) {
            std::string number = digits.substr(0, length);
            if (point > 0 && point < length) {
                number.insert(point, ".");
            }
            for (int tail = 0; tail <= 9; tail++) {
                const std::string text = " " + number + std::string(size_t(tail), ' ');
                TextReader r = readerOver(text);
                float got = -1;
                ASSERT_TRUE(readerFloat(r, got)) << text;
                const float expected = std::strtof(text.c_str(), nullptr);
                EXPECT_TRUE(sameBits(got, expected)) << "\"" << text << "\": " << got;
                EXPECT_EQ(r.pos, 1 + number.size()) << text;

                if (number.find('.') == std::string::npos) {
                    TextReader ri = readerOver(text);
                    int value = -1;
                    const long long exact = std::strtoll(text.c_str(), nullptr, 10);
                    if (length <= 9 || exact <= 2147483647LL) {
                        ASSERT_TRUE(readerInt(ri, value)) << text;
                        EXPECT_EQ(value, exact) << text;
                        EXPECT_EQ(ri.pos, 1 + number.size()) << text;
                    } else {
                        EXPECT_FALSE(readerInt(ri, value)) << text;
                        EXPECT_EQ(ri.error.rfind("integer out of range", 0), 0u) << text;
                    }
                }
            }
        }
    }
}

// The plain form is taken only where one float division is exact; everything else is left to
// the general read, which must still give the C library's value.
TEST(FastScan, PlainFormOnlyWithinItsExactRange) {
    struct Case {
        const char* text;
        bool plain;
    } cases[] = {
        {"16777216", true},   {"16777217", false},    {"1677721.6", true},
        {"1677721.7", false}, {"0.0000000001", true}, {"0.00000000012", false},
        {"-0.125", true},     {"+3.5", true},         {"5.", true},
        {".25", true},        {"000000001.5", false}, {"1.5e3", false},
        {"1.5E-3", false},    {"0x10", false},        {"inf", false},
        {"1.2.3", false},     {".", false},           {"-", false},
        {"", false},          {"+-1", false},         {"12,5", true},
        {"7\n", true},        {"3.25f", false},       {"0.1234567", true},
    };
    for (const Case& c : cases) {
        const std::string text = c.text;
        float fast = 0;
        const char* stop = readerScanSimpleFloat(text.data(), text.data() + text.size(), fast);
        EXPECT_EQ(stop != nullptr, c.plain) << text;
        if (stop != nullptr) {
            char* libraryStop = nullptr;
            const float expected = std::strtof(text.c_str(), &libraryStop);
            EXPECT_TRUE(sameBits(fast, expected)) << text;
            EXPECT_EQ(stop - text.data(), libraryStop - text.c_str()) << text;
        }
    }
}

// Plain decimals of up to eight digits each side, compared bit for bit with strtof.
TEST(FastScan, RandomPlainDecimalsRoundLikeStrtof) {
    std::mt19937 random(99);
    std::uniform_int_distribution<int> digit(0, 9), length(0, 8), sign(0, 2);
    std::string text;
    for (int i = 0; i < 50000; i++) {
        text += sign(random) == 0 ? "-" : "";
        const int whole = length(random), fraction = length(random);
        for (int d = 0; d < whole; d++) {
            text += char('0' + digit(random));
        }
        text += (whole == 0 || fraction > 0) ? "." : "";
        for (int d = 0; d < (whole == 0 && fraction == 0 ? 1 : fraction); d++) {
            text += char('0' + digit(random));
        }
        text += (i % 5 == 0) ? "\n" : " ";
    }
    TextReader r = readerOver(text);
    const char* p = text.c_str();
    for (int i = 0; i < 50000; i++) {
        char* end = nullptr;
        const float expected = std::strtof(p, &end);
        float got = 0;
        ASSERT_TRUE(readerFloat(r, got)) << i;
        ASSERT_TRUE(sameBits(got, expected)) << std::string(p, (const char*)end);
        p = end;
    }
}

// A mesh whose lists mix plain entries with exponents, signs, tabs, carriage returns and a
// hexadecimal float: every value as the C library reads it, and a later fault on its own line.
TEST(FastScan, MeshListsMixingPlainAndOtherFormsReadLikeTheGeneralReads) {
    const std::string text = "vertices (4) :\n"
                             "1.5 -2.25 3\n"
                             "1e1 +2 -0.5e-1\r\n"
                             "\t0x1.8p1   4.125\t-7\n"
                             "16777217 0.1 .5\n"
                             "faces (3) :\n"
                             "0 1 2\n"
                             "+3 0000000002 1\n"
                             "3\t2\r\n0\n"
                             "normales (4) :\n"
                             "0 0 1\n0 1e0 0\n1 0 0\n0 0 -1\n"
                             "couleur : 1 0.5 0.25\n"
                             "option : 16\n"
                             "texture : t.jpg\n"
                             "uv mapping (3) :\n"
                             "0,0 1,0 0,1\n"
                             "0.5, 0.5 1e-1,2 0x1p-1,0.75\n"
                             "1,1 1,1 1,1\n";
    TextReader reader = readerOver(text);
    Mesh mesh;
    std::string texture;
    ASSERT_TRUE(parseMesh(reader, mesh, texture)) << readerErrorText(reader);
    const float vertices[12] = {1.5f,   -2.25f, 3,      10, 2,
                                -0.05f, 3,      4.125f, -7, std::strtof("16777217", nullptr),
                                0.1f,   0.5f};
    ASSERT_EQ(mesh.vertices.size(), 4u);
    for (int i = 0; i < 12; i++) {
        const Vec3& v = mesh.vertices[size_t(i / 3)];
        const float got = i % 3 == 0 ? v.x : (i % 3 == 1 ? v.y : v.z);
        EXPECT_TRUE(sameBits(got, vertices[i])) << "coordinate " << i << ": " << got;
    }
    EXPECT_EQ(mesh.faces, (std::vector<int>{0, 1, 2, 3, 2, 1, 3, 2, 0}));
    EXPECT_EQ(mesh.normals[1].y, 1.0f);
    EXPECT_EQ(mesh.faceUVs, (std::vector<float>{0, 0, 1, 0, 0, 1, 0.5f, 0.5f, 0.1f, 2, 0.5f, 0.75f,
                                                1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(texture, "t.jpg");
    EXPECT_EQ(reader.line, 22);

    // The same lists with a fault after the mixed lines: the line counts carry across them.
    const struct {
        std::string from, to;
        int line;
        const char* message;
    } faults[] = {
        {"1,1 1,1 1,1", "1,1 1;1 1,1", 22, "expected \",\", found \";1\""},
        {"0 0 -1\n", "0 0 -x\n", 15, "expected a number, found \"-x\""},
        {"3\t2\r\n0\n", "3\t2\r\n4\n", 10, "face index 4 outside the 4 vertices"},
        {"+3 0000000002 1", "+3 -0000000002 1", 8, "face index -2 outside the 4 vertices"},
    };
    for (const auto& f : faults) {
        std::string broken = text;
        broken.replace(broken.find(f.from), f.from.size(), f.to);
        TextReader r = readerOver(broken);
        Mesh m;
        EXPECT_FALSE(parseMesh(r, m, texture)) << f.to;
        EXPECT_EQ(r.errorLine, f.line) << f.to;
        EXPECT_EQ(r.error, f.message) << f.to;
    }
}

// A random number in the forms the mesh lists may hold: mostly plain decimals of every length
// on both sides of the point (long ones too), now and then a sign, an exponent, a lone point
// or a hexadecimal float, which the whole-line scans must leave to the general reads.
std::string randomNumber(std::mt19937& random) {
    std::uniform_int_distribution<int> digit(0, 9), length(0, 9), form(0, 39);
    const std::string sign = form(random) < 8 ? "-" : "";
    const int kind = form(random);
    std::string text;
    const int whole = kind == 0 ? 0 : 1 + length(random), fraction = length(random);
    for (int d = 0; d < whole; d++) {
        text += char('0' + digit(random));
    }
    if (kind == 0 || kind % 3 == 0) {
        text += ".";
        for (int d = 0; d < (whole == 0 ? 1 + fraction : fraction); d++) {
            text += char('0' + digit(random));
        }
    }
    if (kind == 1) {
        text += "e-2";
    } else if (kind == 2) {
        text = "0x1.8p1";
    }
    return (kind == 4 ? "+" : sign) + text;
}

// Strings the same list entries are laid out with: mostly one space, sometimes a run of blanks
// or a line break in the middle of an entry.
std::string randomGap(std::mt19937& random, const char* usual) {
    const int pick = std::uniform_int_distribution<int>(0, 59)(random);
    return pick == 0 ? "\t " : pick == 1 ? "\r\n" : pick == 2 ? "  \n " : usual;
}

// Thousands of list lines, far more than the end margin of the line scans, in every form: each
// value equals what strtof gives for its text, and the reader ends on the right line.
TEST(FastScan, WholeLineScansGiveTheValuesOfTheGeneralReads) {
    std::mt19937 random(7);
    const int count = 3000;
    std::vector<std::string> vertexText, uvText;
    std::string text = "vertices (" + std::to_string(count) + ") :\n";
    for (int i = 0; i < count * 3; i++) {
        vertexText.push_back(randomNumber(random));
        text += vertexText.back() + (i % 3 == 2 ? randomGap(random, "\n") : randomGap(random, " "));
    }
    std::vector<int> faces;
    text += "faces (" + std::to_string(count) + ") :\n";
    for (int i = 0; i < count * 3; i++) {
        faces.push_back(std::uniform_int_distribution<int>(0, count - 1)(random));
        const std::string index = (i % 97 == 5 ? "+" : "") + std::to_string(faces.back());
        text += index + (i % 3 == 2 ? randomGap(random, "\n") : randomGap(random, " "));
    }
    text += "normales (1) :\n0 0 1\ncouleur : 1 1 1\noption : 16\ntexture : t.jpg\n";
    text += "uv mapping (" + std::to_string(count) + ") :\n";
    for (int i = 0; i < count * 6; i++) {
        uvText.push_back(randomNumber(random));
        text += uvText.back() + (i % 2 == 0 ? "," : i % 6 == 5 ? randomGap(random, "\n") : " ");
    }
    int lines = 1;
    for (char c : text) {
        lines += c == '\n';
    }
    TextReader reader = readerOver(text);
    Mesh mesh;
    std::string texture;
    MeshFileDetails details;
    details.keepGoing = true; // one normal for many vertices
    ASSERT_TRUE(parseMesh(reader, mesh, texture, details)) << readerErrorText(reader);
    for (int i = 0; i < count * 3; i++) {
        const Vec3& v = mesh.vertices[size_t(i / 3)];
        const float got = i % 3 == 0 ? v.x : (i % 3 == 1 ? v.y : v.z);
        ASSERT_TRUE(sameBits(got, std::strtof(vertexText[size_t(i)].c_str(), nullptr)))
            << "vertex value " << i << " \"" << vertexText[size_t(i)] << "\": " << got;
    }
    EXPECT_EQ(mesh.faces, faces);
    for (int i = 0; i < count * 6; i++) {
        ASSERT_TRUE(
            sameBits(mesh.faceUVs[size_t(i)], std::strtof(uvText[size_t(i)].c_str(), nullptr)))
            << "uv value " << i << " \"" << uvText[size_t(i)] << "\"";
    }
    EXPECT_TRUE(readerAtEnd(reader));
    EXPECT_EQ(reader.line, lines);
}

// Plain numbers whose digits do not fit the short conversion: the long one, the one through a
// double, and the exact halfway cases that only the general read rounds right (ties to even).
TEST(FastScan, LongAndHalfwayNumbersInPlainLinesRoundLikeStrtof) {
    const char* numbers[] = {
        "8388608.5",        "8388609.5", "1234567.891",      "9999999.9999999", "0.1234567",
        "1.00000005960464", "123.4567",  "-7654321.1234567", "0000001.500",     "5.",
        "12345678.5",       "0.00000001"};
    std::string text = "vertices (400) :\n";
    for (int i = 0; i < 400; i++) {
        text += std::string(numbers[i % 12]) + " " + numbers[(i + 5) % 12] + " 1\n";
    }
    TextReader reader = readerOver(text + "faces (0) :\n");
    Mesh mesh;
    std::string texture;
    ASSERT_FALSE(parseMesh(reader, mesh, texture)); // stops at the missing normals
    EXPECT_EQ(reader.errorLine, 403);
    for (int i = 0; i < 400; i++) {
        EXPECT_TRUE(sameBits(mesh.vertices[size_t(i)].x, std::strtof(numbers[i % 12], nullptr)))
            << numbers[i % 12];
        EXPECT_TRUE(
            sameBits(mesh.vertices[size_t(i)].y, std::strtof(numbers[(i + 5) % 12], nullptr)))
            << numbers[(i + 5) % 12];
    }
}

// A fault deep in long lists, after thousands of lines read whole, has the line and the message
// of the general reads; with keepGoing every bad index is kept with its own line.
TEST(FastScan, FaultsAfterWholeLineScansKeepTheirLines) {
    std::string text = "vertices (2000) :\n";
    for (int i = 0; i < 2000; i++) {
        text += "1.5 -2.25 3\n";
    }
    text += "faces (2000) :\n";
    for (int i = 0; i < 2000; i++) {
        text += i == 1500 ? "0 2000 1\n" : i == 1700 ? "-0 1 -1\n" : "0 1999 2\n";
    }
    text += "normales (2000) :\n";
    for (int i = 0; i < 2000; i++) {
        text += i == 1990 ? "0 1.5e 1\n" : "0 0 1\n";
    }
    Mesh mesh;
    std::string texture;
    MeshFileDetails details;
    details.keepGoing = true;
    TextReader reader = readerOver(text);
    EXPECT_FALSE(parseMesh(reader, mesh, texture, details));
    EXPECT_EQ(reader.errorLine, 4004 + 1990);
    EXPECT_EQ(reader.error, "expected a number, found \"e\"");
    ASSERT_EQ(details.faultCount, 2);
    EXPECT_EQ(details.faults[0].line, 2003 + 1500);
    EXPECT_EQ(details.faults[0].message, "face index 2000 outside the 2000 vertices");
    EXPECT_EQ(details.faults[1].line, 2003 + 1700);
    EXPECT_EQ(details.faults[1].message, "face index -1 outside the 2000 vertices");
    EXPECT_EQ(mesh.faces[1700 * 3], 0); // "-0" is vertex 0

    TextReader strict = readerOver(text);
    EXPECT_FALSE(parseMesh(strict, mesh, texture));
    EXPECT_EQ(strict.errorLine, 2003 + 1500);
    EXPECT_EQ(strict.error, "face index 2000 outside the 2000 vertices");
}

} // namespace
