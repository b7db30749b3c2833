// Number scanning: the fast reads of plain decimal numbers straight from a pointer, eight bytes
// at a time where they can. Base layer: uses nothing of ours. Each scan gives up (null, or false)
// on any form it does not know, so the general reads of the text reader decide those.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

//----------------------------------------------------------------------------------
// Blanks
//----------------------------------------------------------------------------------

// The blanks of formatted input: space, tab, line end, carriage return, vertical tab, form feed.
inline bool readerIsSpace(char c) {
    return c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Skips blanks and line ends from p, adding the line ends to `lines`.
inline const char* readerSkipBlanks(const char* p, const char* end, int64_t& lines) {
    while (p < end && readerIsSpace(*p)) {
        lines += (*p == '\n');
        ++p;
    }
    return p;
}

//----------------------------------------------------------------------------------
// Eight digits at once
//----------------------------------------------------------------------------------

// Eight bytes of text as one little-endian word.
inline uint64_t readerLoad8(const char* p) {
    uint64_t word;
    std::memcpy(&word, p, 8);
    return word;
}

// Marks (high bit of the byte) each byte of an eight-byte word that is not a decimal digit,
// given the word with '0' taken off every byte. No carry crosses a byte.
inline uint64_t readerNonDigits(uint64_t digits) {
    return (((digits & 0x7f7f7f7f7f7f7f7full) + 0x7676767676767676ull) | digits) &
           0x8080808080808080ull;
}

// The value of the first `count` (1 to 8) digits of a word with '0' taken off every byte:
// the run moved to the top bytes behind leading zeros, then eight digits at once.
inline uint64_t readerDigitsValue(uint64_t digits, int count) {
    uint64_t v = digits << (8 * (8 - count));
    v = ((v & 0x0f0f0f0f0f0f0f0full) * 2561) >> 8;
    v = ((v & 0x00ff00ff00ff00ffull) * 6553601) >> 16;
    return ((v & 0x0000ffff0000ffffull) * 42949672960001ull) >> 32;
}

// Counts the decimal digits at the start of an eight-byte word (0 to 8) and gives their value
// in `value` when there is at least one (`value` is left alone otherwise).
inline int readerWordDigits(uint64_t bytes, uint64_t& value) {
    const uint64_t digits = bytes ^ 0x3030303030303030ull; // '0'..'9' -> 0..9
    const uint64_t nonDigit = readerNonDigits(digits);
    const int count = nonDigit ? (__builtin_ctzll(nonDigit) >> 3) : 8;
    if (count > 0) {
        value = readerDigitsValue(digits, count);
    }
    return count;
}

// Reads the run of decimal digits at p (at most 19) into `value` and moves p past it. Returns
// the number of digits, or -1 when the run is longer. The first eight bytes go at once when
// eight bytes remain.
inline int readerDigits(const char*& p, const char* end, uint64_t& value) {
    const char* start = p;
    value = 0;
    if (end - p >= 8) {
        const int count = readerWordDigits(readerLoad8(p), value);
        p += count;
        if (count < 8) {
            return count;
        }
    }
    while (p < end && (unsigned)(*p - '0') < 10u) {
        if (p - start >= 19) {
            return -1;
        }
        value = value * 10 + (unsigned)(*p - '0');
        ++p;
    }
    return (int)(p - start);
}

//----------------------------------------------------------------------------------
// Scans bounded by the end of the text
//----------------------------------------------------------------------------------

// An integer of at most nine digits with an optional sign, at p (no blanks first). Returns the
// end of the number, or null for any other form (longer numbers go through the overflow check).
inline const char* readerScanSimpleInt(const char* p, const char* end, int& value) {
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) {
        negative = (*p == '-');
        ++p;
    }
    uint64_t parsed = 0;
    const int digits = readerDigits(p, end, parsed);
    if (digits <= 0 || digits > 9) {
        return nullptr;
    }
    value = negative ? -(int)parsed : (int)parsed;
    return p;
}

// A decimal "[sign]digits[.digits]" at p (no blanks first) whose digits make an integer of at
// most 2^24 with at most ten decimals: both that integer and the power of ten are exact floats,
// so one division rounds exactly as strtof does. Returns the end, or null for any other form
// (exponents, inf, nan, hexadecimal, long mantissas), which the general read handles.
inline const char* readerScanSimpleFloat(const char* p, const char* end, float& value) {
    static const float powersOfTen[11] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                          1e6f, 1e7f, 1e8f, 1e9f, 1e10f};
    static const uint64_t scales[11] = {1ull,         10ull,         100ull,        1000ull,
                                        10000ull,     100000ull,     1000000ull,    10000000ull,
                                        100000000ull, 1000000000ull, 10000000000ull};
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) {
        negative = (*p == '-');
        ++p;
    }
    uint64_t mantissa = 0;
    const int whole = readerDigits(p, end, mantissa);
    if (whole < 0 || whole > 8) {
        return nullptr; // keeps the scaled mantissa below 10^18
    }
    int decimals = 0;
    if (p < end && *p == '.') {
        ++p;
        uint64_t fraction = 0;
        decimals = readerDigits(p, end, fraction);
        if (decimals < 0 || decimals > 10 || (whole == 0 && decimals == 0)) {
            return nullptr; // long fractions and a lone "."
        }
        mantissa = mantissa * scales[decimals] + fraction;
    } else if (whole == 0) {
        return nullptr;
    }
    // An exponent, a second point, a hexadecimal prefix or a word goes the general way.
    if (p < end && (*p == '.' || ((*p | 0x20) >= 'a' && (*p | 0x20) <= 'z'))) {
        return nullptr;
    }
    if (mantissa > (1ull << 24)) {
        return nullptr;
    }
    const float parsed = (float)mantissa / powersOfTen[decimals];
    value = negative ? -parsed : parsed;
    return p;
}

// Fast path for the plain decimals that fill mesh files ("-12.345678"): up to 19 digits and no
// exponent, converted with one correctly rounded division in double. Returns false, leaving the
// work to the full scanner, for any other form or when rounding the double to float could
// differ from rounding the exact value (the double lands exactly halfway between two floats).
inline bool readerPlainDecimal(const char* p, const char* end, float& value, const char*& stop) {
    static const double powers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                    1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                    1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    uint64_t mantissa = 0;
    int digits = 0;
    int fraction = 0;
    while (p < end && (unsigned)(*p - '0') < 10 && digits < 19) {
        mantissa = mantissa * 10 + (uint64_t)(*p++ - '0');
        ++digits;
    }
    if (p < end && *p == '.') {
        ++p;
        while (p < end && (unsigned)(*p - '0') < 10 && digits < 19) {
            mantissa = mantissa * 10 + (uint64_t)(*p++ - '0');
            ++digits;
            ++fraction;
        }
    }
    // More digits, an exponent, a second point or letters: the full scanner decides.
    if (digits == 0 || mantissa > ((uint64_t)1 << 53) ||
        (p < end &&
         (*p == '.' || (unsigned)(*p - '0') < 10 || ((*p | 0x20) >= 'a' && (*p | 0x20) <= 'z')))) {
        return false;
    }
    double exact = (double)mantissa / powers[fraction];
    // Rounding to float drops the low 29 of the double's 52 fraction bits; it can only go wrong
    // when they are exactly one half, or outside the range of normal floats.
    uint64_t bits;
    std::memcpy(&bits, &exact, sizeof bits);
    int exponent = (int)((bits >> 52) & 0x7ff) - 1023;
    if (mantissa != 0 && (exponent < -126 || exponent > 127 ||
                          (bits & (((uint64_t)1 << 29) - 1)) == ((uint64_t)1 << 28))) {
        return false;
    }
    float rounded = (float)exact;
    value = rounded;
    stop = p;
    return true;
}

//----------------------------------------------------------------------------------
// Line scans: whole list lines of plain numbers in one go
//----------------------------------------------------------------------------------

// The line scans load eight bytes at a time without checking the end of the text: they may only
// start where at least this many bytes follow, which covers any line they accept.
const size_t READER_LINE_MARGIN = 128;

// The float nearest to mantissa / 10^decimals, as strtof rounds it, for at most seven digits
// each side of the point. The double quotient is correctly rounded, and rounding it again to
// float cannot go astray: such a decimal is either exactly halfway between two floats (then the
// double is exact) or further from halfway than half a step of the double.
inline float readerDecimalFloat(uint64_t mantissa, int decimals) {
    static const double powers[8] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7};
    return (float)((double)mantissa / powers[decimals]);
}

// A float "digits[.digits]" of at most seven digits each side at p (past its sign), with
// READER_LINE_MARGIN bytes readable: the two sides read one after the other. Returns the end of
// the number, or null for any other form.
inline const char* readerLineFloatLong(const char* p, float& value) {
    static const uint64_t scales[8] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000};
    uint64_t mantissa = 0;
    const int whole = readerWordDigits(readerLoad8(p), mantissa);
    if (whole == 0 || whole == 8) {
        return nullptr;
    }
    p += whole;
    int decimals = 0;
    if (*p == '.') {
        uint64_t fraction = 0;
        decimals = readerWordDigits(readerLoad8(p + 1), fraction);
        if (decimals == 8) {
            return nullptr;
        }
        mantissa = mantissa * scales[decimals] + fraction;
        p += 1 + decimals;
    }
    value = readerDecimalFloat(mantissa, decimals);
    return p;
}

// A float "[-]digits[.digits]" at p, at most seven digits each side, with READER_LINE_MARGIN
// bytes readable from p. Returns the end of the number, or null for any other form (the caller
// then checks the byte that ends it, so exponents and words never pass). A number that fits in
// eight bytes with its point is converted in one go, the point squeezed out of the word.
inline const char* readerLineFloat(const char* p, float& value) {
    const bool negative = (*p == '-');
    p += negative;
    const uint64_t digits = readerLoad8(p) ^ 0x3030303030303030ull;
    uint64_t nonDigit = readerNonDigits(digits);
    const int whole = nonDigit ? (__builtin_ctzll(nonDigit) >> 3) : 8;
    if (whole == 0 || whole == 8) {
        return nullptr;
    }
    uint64_t mantissa;
    int decimals = 0;
    int length = whole;
    if (((digits >> (8 * whole)) & 0xff) != ('.' ^ '0')) {
        mantissa = readerDigitsValue(digits, whole);
    } else {
        nonDigit &= nonDigit - 1; // the point is a digit now; what ends the fraction?
        if (nonDigit == 0) {
            float parsed = 0;
            const char* stop = readerLineFloatLong(p, parsed);
            value = negative ? -parsed : parsed;
            return stop;
        }
        length = __builtin_ctzll(nonDigit) >> 3;
        decimals = length - whole - 1; // "5." has none, as strtof reads it
        const uint64_t before = digits & ((1ull << (8 * whole)) - 1);
        const uint64_t after = (digits >> (8 * (whole + 1))) << (8 * whole);
        mantissa = readerDigitsValue(before | after, length - 1);
    }
    const float parsed = readerDecimalFloat(mantissa, decimals);
    value = negative ? -parsed : parsed;
    return p + length;
}

// An integer of one to seven digits, no sign, at p with READER_LINE_MARGIN bytes readable.
// Returns its end, or null for any other form.
inline const char* readerLineInt(const char* p, int& value) {
    uint64_t parsed = 0;
    const int count = readerWordDigits(readerLoad8(p), parsed);
    if (count == 0 || count == 8) {
        return nullptr;
    }
    value = (int)parsed;
    return p + count;
}

// Ends a line scan at p, just past its last number: a line end is taken and counted, other
// blanks are left for the next read. Returns null when p does not end the number.
inline const char* readerLineEnd(const char* p, int64_t& line) {
    if (*p == '\n') {
        line += 1;
        return p + 1;
    }
    return readerIsSpace(*p) ? p : nullptr;
}
