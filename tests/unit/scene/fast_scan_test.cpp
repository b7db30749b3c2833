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

} // namespace
