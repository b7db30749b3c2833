// The text reader: matching rules of formatted input, numbers, words, lines and failures.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "scene/text_reader.h"
#include "unit/scene/test_files.h"

static TextReader readerOver(const std::string& text) {
    TextReader reader;
    readerFromText(reader, "t.txt", text);
    return reader;
}

TEST(TextReader, BlankInFormatMatchesAnyRunOfWhiteSpaceOrNone) {
    for (const char* text : {"vertices (3) :", "vertices(3):", "vertices \t\n\r\n (3)\n\n :",
                             "vertices\n(   3) \t:"}) {
        TextReader r = readerOver(text);
        int n = 0;
        EXPECT_TRUE(readerExpect(r, "vertices (") && readerInt(r, n) && readerExpect(r, ") :\n"))
            << text;
        EXPECT_EQ(n, 3) << text;
        EXPECT_FALSE(r.failed) << text;
    }
}

TEST(TextReader, LiteralCharactersMustStandAsWritten) {
    // No blank in the format before ")": white space there does not match, as with scanf.
    TextReader spaced = readerOver("(3 )");
    int n = 0;
    EXPECT_TRUE(readerExpect(spaced, "(") && readerInt(spaced, n));
    EXPECT_FALSE(readerExpect(spaced, ")"));

    TextReader upper = readerOver("Vertices (1) :");
    EXPECT_FALSE(readerExpect(upper, "vertices ("));
}

TEST(TextReader, MisspeltKeywordNamesWordAndLine) {
    TextReader r = readerOver("1 2 3\n\n  normals (3) :\n");
    float x, y, z;
    ASSERT_TRUE(readerFloat3(r, x, y, z));
    EXPECT_FALSE(readerExpect(r, "\nnormales ("));
    EXPECT_TRUE(r.failed);
    EXPECT_EQ(r.errorLine, 3);
    EXPECT_EQ(r.error, "expected \"normales\", found \"normals\"");
    EXPECT_EQ(readerErrorText(r), "t.txt:3: error: expected \"normales\", found \"normals\"");
}

TEST(TextReader, MissingKeywordAtEndOfFile) {
    TextReader r = readerOver("couleur : 1 1 1\n");
    float c[3];
    ASSERT_TRUE(readerExpect(r, "couleur :") && readerFloat3(r, c[0], c[1], c[2]));
    EXPECT_FALSE(readerExpect(r, "\noption :"));
    EXPECT_EQ(r.error, "expected \"option\", found end of file");
    EXPECT_EQ(r.errorLine, 2);
}

TEST(TextReader, FirstFailureIsKeptAndLaterReadsFail) {
    TextReader r = readerOver("abc\n12");
    int n = 7;
    EXPECT_FALSE(readerInt(r, n));
    EXPECT_EQ(n, 7);
    EXPECT_FALSE(readerExpect(r, "abc"));
    EXPECT_FALSE(readerSkipLine(r));
    EXPECT_EQ(r.errorLine, 1);
    EXPECT_EQ(r.error, "expected an integer, found \"abc\"");
}

TEST(TextReader, IntegersScanAsDecimalWithSignsAndRejectOverflow) {
    TextReader r = readerOver(" +12 -7 0012 2147483647 -2147483648 42abc");
    int v[6];
    for (int& x : v) {
        ASSERT_TRUE(readerInt(r, x));
    }
    EXPECT_EQ(v[0], 12);
    EXPECT_EQ(v[1], -7);
    EXPECT_EQ(v[2], 12);
    EXPECT_EQ(v[3], 2147483647);
    EXPECT_EQ(v[4], -2147483647 - 1);
    EXPECT_EQ(v[5], 42);
    EXPECT_TRUE(readerExpect(r, "abc"));

    for (const char* bad : {"2147483648", "-2147483649", "99999999999999999999"}) {
        TextReader o = readerOver(bad);
        int x = 0;
        EXPECT_FALSE(readerInt(o, x)) << bad;
        EXPECT_NE(o.error.find("out of range"), std::string::npos) << bad;
    }
    for (const char* bad : {"+-3", "-+3", "+", "-", "x1", ""}) {
        TextReader o = readerOver(bad);
        int x = 0;
        EXPECT_FALSE(readerInt(o, x)) << bad;
    }
}

TEST(TextReader, FloatsScanLikeTheCLibrary) {
    TextReader r = readerOver("1 -2.5 +3e2 .5 1.e1 -0 1E-3 0x1.8p1 -0X10 inf -INFINITY nan");
    float v[11];
    for (float& x : v) {
        ASSERT_TRUE(readerFloat(r, x)) << r.error;
    }
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_EQ(v[1], -2.5f);
    EXPECT_EQ(v[2], 300.0f);
    EXPECT_EQ(v[3], 0.5f);
    EXPECT_EQ(v[4], 10.0f);
    EXPECT_TRUE(v[5] == 0.0f && std::signbit(v[5]));
    EXPECT_EQ(v[6], 0.001f);
    EXPECT_EQ(v[7], 3.0f);
    EXPECT_EQ(v[8], -16.0f);
    EXPECT_TRUE(std::isinf(v[9]) && v[9] > 0);
    EXPECT_TRUE(std::isinf(v[10]) && v[10] < 0);
    float n = 0;
    ASSERT_TRUE(readerFloat(r, n));
    EXPECT_TRUE(std::isnan(n));
    EXPECT_TRUE(readerAtEnd(r));
}

TEST(TextReader, FloatsNearlyHalfwayBetweenTwoFloatsRoundByTheirExactValue) {
    // Each lies a hair above or below a float midpoint, so close that the nearest double is the
    // midpoint itself: rounding through double would take the tie's even neighbour.
    for (const char* text : {"1.000000536441803", "1.000000774860382", "-1.000001609325409",
                             "1.000001847743988", "16777217"}) {
        TextReader r = readerOver(text);
        float got = 0;
        ASSERT_TRUE(readerFloat(r, got)) << text;
        float expected = std::strtof(text, nullptr);
        EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << text;
    }
}

TEST(TextReader, FloatsBeyondRangeSaturateLikeStrtof) {
    TextReader r = readerOver("1e999 -1e999 1e-999");
    float a, b, c;
    ASSERT_TRUE(readerFloat3(r, a, b, c));
    EXPECT_TRUE(std::isinf(a) && a > 0);
    EXPECT_TRUE(std::isinf(b) && b < 0);
    EXPECT_EQ(c, 0.0f);
}

TEST(TextReader, FloatRejectsNonNumbers) {
    for (const char* bad : {"abc", "+-1", "--1", ".", "-", "", "   \n", ",5"}) {
        TextReader r = readerOver(bad);
        float x = 9.0f;
        EXPECT_FALSE(readerFloat(r, x)) << bad;
        EXPECT_EQ(x, 9.0f) << bad;
        EXPECT_TRUE(r.failed) << bad;
    }
}

TEST(TextReader, FloatsRoundExactlyAsStrtofOnRandomTexts) {
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> digit(0, 9), len(1, 12), exp(-40, 40), pick(0, 3);
    std::string text;
    for (int i = 0; i < 20000; ++i) {
        std::string s = (pick(rng) == 0) ? "-" : "";
        int intDigits = len(rng);
        for (int d = 0; d < intDigits; ++d) {
            s += char('0' + digit(rng));
        }
        if (pick(rng) != 0) {
            s += '.';
            int frac = len(rng);
            for (int d = 0; d < frac; ++d) {
                s += char('0' + digit(rng));
            }
        }
        if (pick(rng) == 0) {
            s += "e" + std::to_string(exp(rng));
        }
        text += s + (i % 3 == 0 ? "\n" : " ");
    }
    TextReader r = readerOver(text);
    const char* p = text.c_str();
    for (int i = 0; i < 20000; ++i) {
        char* end = nullptr;
        float expected = std::strtof(p, &end);
        float got = 0;
        ASSERT_TRUE(readerFloat(r, got)) << i;
        ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0)
            << "at " << std::string(p, (const char*)end) << ": " << got << " vs " << expected;
        p = end;
    }
}

TEST(TextReader, WordsStopAtWhiteSpace) {
    TextReader r = readerOver("  sol\tmaison\n\n" + std::string(300, 'a') + " \xe9t\xe9");
    std::string a, b, c, d, e;
    ASSERT_TRUE(readerWord(r, a) && readerWord(r, b) && readerWord(r, c) && readerWord(r, d));
    EXPECT_EQ(a, "sol");
    EXPECT_EQ(b, "maison");
    EXPECT_EQ(c.size(), 300u);
    EXPECT_EQ(d, "\xe9t\xe9");
    EXPECT_EQ(r.line, 3);
    EXPECT_FALSE(readerWord(r, e));
}

TEST(TextReader, SkipLineStopsAfterLineEndOrAtEndOfFile) {
    TextReader r = readerOver("title POSITIONS 3\nnext");
    ASSERT_TRUE(readerSkipLine(r));
    EXPECT_EQ(r.line, 2);
    EXPECT_TRUE(readerExpect(r, "next"));

    TextReader noEnd = readerOver("only a title");
    ASSERT_TRUE(readerSkipLine(noEnd));
    EXPECT_TRUE(readerAtEnd(noEnd));
    EXPECT_EQ(noEnd.line, 1);
}

TEST(TextReader, CountsMustBePositiveAndFitTheRestOfTheFile) {
    // "0 0 0\n0 0 0" holds two triples of 6 bytes (the last without its separator).
    TextReader r = readerOver("0 0 0\n0 0 0");
    EXPECT_TRUE(readerCountFits(r, 2, 6, 1, "vertex"));
    EXPECT_TRUE(readerCountFits(r, 0, 6, 1, "vertex"));
    EXPECT_FALSE(readerCountFits(r, 3, 6, 4, "vertex"));
    EXPECT_EQ(r.errorLine, 4);
    EXPECT_EQ(r.error, "vertex count 3 is larger than the rest of the file can hold");

    TextReader n = readerOver("x");
    EXPECT_FALSE(readerCountFits(n, -1, 6, 2, "face"));
    EXPECT_EQ(n.error, "negative face count -1");
    TextReader huge = readerOver("x");
    EXPECT_FALSE(readerCountFits(huge, 2147483647, 1, 1, "name"));
}

TEST(TextReader, OpenLoadsWholeFileOrReportsErrno) {
    std::string dir = makeScratchDir();
    std::string text;
    for (int i = 0; i < 100000; ++i) {
        text += std::to_string(i) + (i % 10 ? " " : "\n");
    }
    text += std::string("\0tail", 5);
    writeTextFile(dir + "/big.txt", text);

    TextReader r;
    EXPECT_EQ(readerOpen(r, dir + "/big.txt"), 0);
    EXPECT_EQ(std::string(r.text, r.size), text);
    EXPECT_EQ(r.path, dir + "/big.txt");
    EXPECT_EQ(r.line, 1);

    TextReader missing;
    EXPECT_EQ(readerOpen(missing, dir + "/none.txt"), ENOENT);
    TextReader directory;
    EXPECT_EQ(readerOpen(directory, dir), EISDIR);

    writeTextFile(dir + "/empty.txt", "");
    TextReader empty;
    EXPECT_EQ(readerOpen(empty, dir + "/empty.txt"), 0);
    EXPECT_TRUE(readerAtEnd(empty));
    removeScratchDir(dir);
}

TEST(TextReader, OpenReadsStreamsWithoutKnownSize) {
    // /proc files report size 0 but hold text: the buffer has to grow as data comes.
    TextReader r;
    ASSERT_EQ(readerOpen(r, "/proc/self/status"), 0);
    EXPECT_EQ(std::string(r.text, 5), "Name:");
}
