// Console bytes on a UTF-8 terminal: each Windows-1252 letter becomes its UTF-8 form, UTF-8 that
// is already there stays. (Which streams are converted is seen end to end on a terminal.)
#include <gtest/gtest.h>

#include <string>

#include "app/console.h"

TEST(Console, Windows1252ToUtf8) {
    const std::string cases[][2] = {
        {"probl\xe8me d\xe9sactiv\xe9"
         "e !\n",
         "probl\xc3\xa8me d\xc3\xa9sactiv\xc3\xa9"
         "e !\n"},
        {std::string("a\0b\n", 4), std::string("a\0b\n", 4)}, // ASCII and NUL as they are
        {"\x80\x9f\xa0\xff",
         "\xe2\x82\xac\xc5\xb8\xc2\xa0\xc3\xbf"}, // the euro, Y umlaut, both ends
        {"\x81\x8d\x8f\x90\x9d",                  // undefined in Windows-1252
         "\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd"},
        {"caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xb5",
         "caf\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xb5"},    // UTF-8 kept
        {"\xc3", "\xc3\x83"},                             // a sequence cut short
        {"\xc3(", "\xc3\x83("},                           // a lead byte alone
        {"\xc0\xaf", "\xc3\x80\xc2\xaf"},                 // overlong: not UTF-8
        {"\xed\xa0\x80", "\xc3\xad\xc2\xa0\xe2\x82\xac"}, // a surrogate: not UTF-8
        {"\xe9l\xe9v\xe9", "\xc3\xa9l\xc3\xa9v\xc3\xa9"},
        // The first and last three- and four-byte sequences are kept; one step beyond is not UTF-8.
        {"\xe0\xa0\x80\xf0\x90\x80\x80\xf4\x8f\xbf\xbf",
         "\xe0\xa0\x80\xf0\x90\x80\x80\xf4\x8f\xbf\xbf"},
        {"\xe0\x9f\xbf", "\xc3\xa0\xc5\xb8\xc2\xbf"},
        {"\xf0\x8f\xbf\xbf", "\xc3\xb0\xef\xbf\xbd\xc2\xbf\xc2\xbf"},
        {"\xf4\x90\x80\x80", "\xc3\xb4\xef\xbf\xbd\xe2\x82\xac\xe2\x82\xac"},
        {"\xf5\x80\x80\x80", "\xc3\xb5\xe2\x82\xac\xe2\x82\xac\xe2\x82\xac"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cp1252ToUtf8(c[0].data(), c[0].size()), c[1]) << c[0];
    }
}
