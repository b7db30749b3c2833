// The fast number scans of the text reader and the mesh lists read through them: the same
// values, ends and lines as the C library and the general reads, at every length and position.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <thread>

#include <gtest/gtest.h>

#include "scene/mesh_file.h"
#include "scene/plain_lines.h"
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

// A list read in two halves alone, for every entry count over the same lines: each entry read
// once into its own place, the second half on the other thread, up to the list's end (the text
// after it is never read) or to the first entry that does not start its line, in either half.
TEST(FastScan, ListHalvesReadEachEntryOnceAndStopAtTheListEnd) {
    const size_t lines = 800, notPlain = 300;
    std::string text;
    for (size_t i = 0; i < lines; i++) {
        text +=
            (i == notPlain ? " " : "") + std::string(i % 50, '0') + std::to_string(i * i) + "\n";
    }
    const char* end = text.data() + text.size();
    std::vector<long> values(lines);
    std::vector<std::atomic<int>> timesRead(lines);
    std::vector<std::thread::id> readBy(lines);
    auto scan = [&](const char* p, size_t i) -> const char* {
        char* stop = nullptr;
        values[i] = std::strtol(p, &stop, 10);
        readBy[i] = std::this_thread::get_id();
        timesRead[i]++;
        return *stop == '\n' ? stop + 1 : nullptr;
    };
    for (size_t count = 2; count < lines; count++) {
        for (std::atomic<int>& times : timesRead) {
            times = 0;
        }
        const char* p = text.data();
        const size_t read = std::min(count, notPlain);
        ASSERT_EQ(plainLinesSplit(p, end, end, count, 0, scan), read) << count << " entries";
        EXPECT_TRUE(std::count(text.c_str(), p, '\n') == (long)read && p[-1] == '\n') << count;
        for (size_t i = 0; i < lines; i++) {
            ASSERT_TRUE(i < read ? timesRead[i] == 1 && values[i] == long(i * i)
                                 : timesRead[i] <= (i < count ? 1 : 0))
                << count << " entries, " << i;
        }
        EXPECT_EQ(readBy[read - 1] == std::this_thread::get_id(), read <= count / 2) << count;
    }
    // Only lists longer than the given size are split, the size guessed from their first lines.
    std::string tens;
    for (int i = 0; i < 100; i++) {
        tens += "123456789\n";
    }
    const char* tensEnd = tens.data() + tens.size();
    EXPECT_TRUE(plainLinesLong(tens.data(), tensEnd, 3000, 29999));
    EXPECT_FALSE(plainLinesLong(tens.data(), tensEnd, 3000, 30000));
}

} // namespace
