// The console's text: Windows-1252 bytes as UTF-8 (the terminal's streams are in
// console_terminal.cpp). Application side.
#include "app/console.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

// Unicode of the Windows-1252 bytes 0x80 to 0x9f; 0 for the five it leaves undefined.
static const uint16_t CP1252_HIGH[32] = {
    0x20ac, 0,      0x201a, 0x0192, 0x201e, 0x2026, 0x2020, 0x2021, 0x02c6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017d, 0,      0,      0x2018, 0x2019, 0x201c, 0x201d, 0x2022,
    0x2013, 0x2014, 0x02dc, 0x2122, 0x0161, 0x203a, 0x0153, 0,      0x017e, 0x0178};

// Length of the well-formed UTF-8 sequence of two to four bytes at p, or 0.
static size_t utf8SequenceLength(const unsigned char* p, size_t left) {
    const unsigned char c = p[0];
    size_t length = c >= 0xc2 && c <= 0xdf   ? 2
                    : c >= 0xe0 && c <= 0xef ? 3
                    : c >= 0xf0 && c <= 0xf4 ? 4
                                             : 0;
    if (length == 0 || length > left) {
        return 0;
    }
    for (size_t i = 1; i < length; i++) {
        if ((p[i] & 0xc0) != 0x80) {
            return 0;
        }
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
    if ((c == 0xe0 && p[1] < 0xa0) || (c == 0xed && p[1] > 0x9f) || (c == 0xf0 && p[1] < 0x90) ||
        (c == 0xf4 && p[1] > 0x8f)) {
        return 0;
    }
    return length;
}

std::string cp1252ToUtf8(const char* text, size_t size) {
    std::string out;
    out.reserve(size + size / 8);
    const unsigned char* p = (const unsigned char*)text;
    for (size_t i = 0; i < size;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            out += (char)c;
            i += 1;
            continue;
        }
        if (size_t kept = utf8SequenceLength(p + i, size - i)) {
            out.append(text + i, kept);
            i += kept;
            continue;
        }
        unsigned int code = c >= 0xa0 ? c : CP1252_HIGH[c - 0x80];
        if (code == 0) {
            code = 0xfffd;
        }
        if (code < 0x800) {
            out += (char)(0xc0 | (code >> 6));
        } else {
            out += (char)(0xe0 | (code >> 12));
            out += (char)(0x80 | ((code >> 6) & 0x3f));
        }
        out += (char)(0x80 | (code & 0x3f));
        i += 1;
    }
    return out;
}
