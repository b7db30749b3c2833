// The text reader: matching rules of formatted input, numbers, words, failures and opening files.
#include <cerrno>
#include <cmath>
#include <cstring>

#include <gtest/gtest.h>

#include "base/text_reader.h"
#include "support/test_files.h"

static TextReader readerOver(const std::string& text) {
    TextReader reader;
    readerFromText(reader, "t.txt", text);
    return reader;
}

TEST(TextReader, FormatsIntegersWordsAndTheFirstFailure) {
    // A blank in the format matches any run of white space, or none; other characters as written.
    int n = 0;
    for (const char* text : {"vertices (3) :", "vertices(3):", "vertices \t\n\r\n (3)\n\n :"}) {
        TextReader r = readerOver(text);
        EXPECT_TRUE(readerExpect(r, "vertices (") && readerInt(r, n) && readerExpect(r, ") :\n") &&
                    n == 3)
            << text;
    }
    TextReader spaced = readerOver("(3 )"), upper = readerOver("Vertices");
    EXPECT_TRUE(readerExpect(spaced, "(") && readerInt(spaced, n) && !readerExpect(spaced, ")"));
    EXPECT_FALSE(readerExpect(upper, "vertices"));

    TextReader ints = readerOver(" +12 -7 0012 2147483647 -2147483648 42abc");
    for (int expected : {12, -7, 12, 2147483647, -2147483647 - 1, 42}) {
        ASSERT_TRUE(readerInt(ints, n));
        EXPECT_EQ(n, expected);
    }
    EXPECT_TRUE(readerExpect(ints, "abc"));
    for (const char* bad : {"2147483648", "-2147483649", "99999999999999999999", "+-3", "+", ""}) {
        TextReader o = readerOver(bad);
        EXPECT_FALSE(readerInt(o, n)) << bad;
        EXPECT_EQ(o.error.find("out of range") != std::string::npos, strlen(bad) > 9) << bad;
    }

    TextReader words = readerOver("  sol\tmaison\n\n" + std::string(300, 'a') + " \xe9t\xe9");
    std::vector<std::string> w(5);
    for (int i = 0; i < 5; i++) {
        EXPECT_EQ(readerWord(words, w[i]), i < 4) << i;
    }
    EXPECT_EQ(w,
              (std::vector<std::string>{"sol", "maison", std::string(300, 'a'), "\xe9t\xe9", ""}));
    EXPECT_EQ(words.line, 3);

    // The first failure is kept with its line, and later reads fail at once.
    TextReader r = readerOver("\nabc\n12");
    EXPECT_FALSE(readerInt(r, n));
    EXPECT_FALSE(readerExpect(r, "abc"));
    EXPECT_FALSE(readerSkipLine(r));
    EXPECT_FALSE(readerFail(r, "a later fault"));
    EXPECT_EQ(readerErrorText(r), "t.txt:2: error: expected an integer, found \"abc\"");
    // A NUL byte in what was found is shown, not left to cut the message short.
    TextReader nul = readerOver(std::string("ab\0cd", 5));
    EXPECT_FALSE(readerExpect(nul, "abc"));
    EXPECT_EQ(nul.error, "expected \"abc\", found \"ab\\0cd\"");
}

// Hex, infinities, saturation, signed zero, and texts a hair off a float midpoint, which rounding
// through a double would take to the tie's even neighbour.
TEST(TextReader, FloatsReadBitForBitAsStrtof) {
    std::string text = "1 -2.5 +3e2 .5 1.e1 -0 1E-3 0x1.8p1 -0X10 inf -INFINITY 1e999 -1e999 "
                       "1e-999 1.000000536441803 -1.000001609325409 1.000001847743988 16777217\n"
                       "-0.1234567890123 98765432109876.54321e-20";
    TextReader r = readerOver(text + " nan");
    for (char *p = text.data(), *end = nullptr; *p; p = end) {
        float expected = std::strtof(p, &end), got = 0;
        ASSERT_TRUE(readerFloat(r, got)) << r.error;
        ASSERT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << std::string(p, end);
    }
    float x = 0;
    ASSERT_TRUE(readerFloat(r, x) && std::isnan(x) && readerAtEnd(r));
    for (const char* bad : {"abc", "+-1", "--1", ".", "-", "", "   \n", ",5"}) {
        TextReader o = readerOver(bad);
        x = 9.0f;
        EXPECT_TRUE(!readerFloat(o, x) && x == 9.0f) << bad;
    }
}

// (errno texts of files that can't be opened, FIFOs and devices refused, are in the end-to-end
// fault matrix.)
TEST(TextReader, OpenLoadsWholeFilesWithNulAndGrowsForSizelessOnes) {
    std::string dir = makeScratchDir(), text = std::string(200000, '7') + std::string("\0tail", 5);
    writeTextFile(dir + "/big.txt", text);
    TextReader r, proc;
    EXPECT_TRUE(readerOpen(r, dir + "/big.txt") == 0);
    EXPECT_TRUE(std::string(r.text, r.size) == text);
    EXPECT_EQ(readerOpen(r, dir), EISDIR);
    // /proc files report size 0 but hold text.
    ASSERT_EQ(readerOpen(proc, "/proc/self/status"), 0);
    EXPECT_EQ(std::string(proc.text, 5), "Name:");
    removeScratchDir(dir);
}
