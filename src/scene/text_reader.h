// Text reader: a whole file held in memory, read the way formatted input reads it, with the
// line number and the first failure kept for a "file:line: error: what" message. Header-only.
#pragma once

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <string>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

struct TextReader {
    std::string path;                    // file name used in messages
    std::shared_ptr<const char> storage; // owns the bytes: a file mapping or a copy
    const char* text = "";               // the whole file (not NUL-terminated)
    size_t size = 0;                     // bytes in text
    size_t pos = 0;                      // next byte to read
    int line = 1;                        // line of the byte at pos, counted from 1
    bool failed = false;                 // a read failed; later reads fail at once
    std::string error;                   // what failed first
    int errorLine = 0;                   // line of the first failure
};

//----------------------------------------------------------------------------------
// Set-up
//----------------------------------------------------------------------------------

// Makes `bytes` the reader's text, kept alive by the reader.
inline void readerTakeText(TextReader& reader, std::shared_ptr<std::string> bytes) {
    reader.text = bytes->data();
    reader.size = bytes->size();
    reader.storage = std::shared_ptr<const char>(bytes, bytes->data());
}

// Starts a reader over text already in memory (tests, tools).
inline void readerFromText(TextReader& reader, const std::string& path, const std::string& text) {
    reader = TextReader{};
    reader.path = path;
    readerTakeText(reader, std::make_shared<std::string>(text));
}

// Reads `fd` to its end into `out`. Returns 0 or the errno.
inline int readerReadAll(int fd, std::string& out) {
    char chunk[65536];
    for (;;) {
        ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return errno;
        }
        if (got == 0) {
            return 0;
        }
        out.append(chunk, (size_t)got);
    }
}

// Loads the whole file: a regular file is mapped (no copy, the fastest way in), anything else
// is read to its end. Returns 0, or the errno of the failed open or read.
inline int readerOpen(TextReader& reader, const std::string& path) {
    reader = TextReader{};
    reader.path = path;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        size_t size = (size_t)info.st_size;
        void* map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
        if (map != MAP_FAILED) {
            ::close(fd);
            madvise(map, size, MADV_SEQUENTIAL);
            reader.storage = std::shared_ptr<const char>(
                (const char*)map, [size](const char* p) { munmap((void*)p, size); });
            reader.text = (const char*)map;
            reader.size = size;
            return 0;
        }
    }
    auto bytes = std::make_shared<std::string>();
    int err = readerReadAll(fd, *bytes);
    ::close(fd);
    if (err == 0) {
        readerTakeText(reader, bytes);
    }
    return err;
}

//----------------------------------------------------------------------------------
// Failures and position
//----------------------------------------------------------------------------------

// Records a failure at the given line unless one is already recorded. Always returns false.
inline bool readerFailAt(TextReader& reader, int line, const std::string& message) {
    if (!reader.failed) {
        reader.failed = true;
        reader.error = message;
        reader.errorLine = line;
    }
    return false;
}

// Records a failure at the current line. Always returns false.
inline bool readerFail(TextReader& reader, const std::string& message) {
    return readerFailAt(reader, reader.line, message);
}

// The first failure as "path:line: error: what".
inline std::string readerErrorText(const TextReader& reader) {
    return reader.path + ":" + std::to_string(reader.errorLine) + ": error: " + reader.error;
}

// Prints one message on standard error after what standard output holds, then ends the process
// with `status`: how a file the show can't go without is reported.
[[noreturn]] inline void readerExit(const std::string& message, int status) {
    fflush(stdout);
    fprintf(stderr, "%s\n", message.c_str());
    exit(status);
}

// The blanks of formatted input: space, tab, line end, carriage return, vertical tab, form feed.
inline bool readerIsSpace(char c) {
    return c == ' ' || c == '\n' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Skips any run of blanks and line ends (also none), counting lines.
inline void readerSkipSpace(TextReader& reader) {
    const char* p = reader.text + reader.pos;
    const char* end = reader.text + reader.size;
    int lines = 0;
    while (p < end && readerIsSpace(*p)) {
        lines += (*p == '\n');
        ++p;
    }
    reader.line += lines;
    reader.pos = (size_t)(p - reader.text);
}

// True when only blanks (or nothing) are left.
inline bool readerAtEnd(TextReader& reader) {
    readerSkipSpace(reader);
    return reader.pos >= reader.size;
}

// Bytes not read yet.
inline size_t readerRemaining(const TextReader& reader) {
    return reader.size - reader.pos;
}

// What stands at byte `at`, for messages: the next word from there, or "end of file".
inline std::string readerFoundText(const TextReader& reader, size_t at) {
    while (at < reader.size && readerIsSpace(reader.text[at])) {
        ++at;
    }
    if (at >= reader.size) {
        return "end of file";
    }
    size_t e = at;
    while (e < reader.size && !readerIsSpace(reader.text[e]) && e - at < 24) {
        ++e;
    }
    std::string found = "\""; // built by appends: GCC 12 warns wrongly on "literal" + string
    found.append(reader.text + at, e - at);
    found += '"';
    return found;
}

// What stands at the reader, for messages.
inline std::string readerFoundText(const TextReader& reader) {
    return readerFoundText(reader, reader.pos);
}

// Reads characters up to and including the first line end, or to the end of the file.
inline bool readerSkipLine(TextReader& reader) {
    if (reader.failed) {
        return false;
    }
    const char* nl =
        (const char*)std::memchr(reader.text + reader.pos, '\n', reader.size - reader.pos);
    if (nl == nullptr) {
        reader.pos = reader.size;
    } else {
        reader.pos = (size_t)(nl - reader.text) + 1;
        reader.line += 1;
    }
    return true;
}

// Checks that `count` items of at least `bytesPerItem` bytes each (one separator included) could
// still stand in the file, before anything is allocated from the count. `what` names the count.
inline bool readerCountFits(TextReader& reader, int count, size_t bytesPerItem, int line,
                            const char* what) {
    if (count < 0) {
        return readerFailAt(reader, line,
                            std::string("negative ") + what + " count " + std::to_string(count));
    }
    if ((size_t)count > (readerRemaining(reader) + 1) / bytesPerItem) {
        return readerFailAt(reader, line,
                            std::string(what) + " count " + std::to_string(count) +
                                " is larger than the rest of the file can hold");
    }
    return true;
}

//----------------------------------------------------------------------------------
// Formatted reads
//----------------------------------------------------------------------------------

// The fast scans below read the common plain forms straight from a pointer and give up (null)
// on anything else, so that the general reads, which know every form and every message, decide.

// Skips blanks and line ends from p, adding the line ends to `lines`.
inline const char* readerSkipBlanks(const char* p, const char* end, int& lines) {
    while (p < end && readerIsSpace(*p)) {
        lines += (*p == '\n');
        ++p;
    }
    return p;
}

// Reads the run of decimal digits at p (at most 19) into `value` and moves p past it. Returns
// the number of digits, or -1 when the run is longer. Eight bytes are tested and converted at
// once while eight bytes remain.
inline int readerDigits(const char*& p, const char* end, unsigned long long& value) {
    const char* start = p;
    value = 0;
    if (end - p >= 8) {
        unsigned long long bytes;
        std::memcpy(&bytes, p, 8);
        const unsigned long long digits = bytes ^ 0x3030303030303030ull; // '0'..'9' -> 0..9
        // High bit of each byte set when it is not a digit (no carry crosses a byte).
        const unsigned long long nonDigit =
            (((digits & 0x7f7f7f7f7f7f7f7full) + 0x7676767676767676ull) | digits) &
            0x8080808080808080ull;
        const int count = nonDigit ? (__builtin_ctzll(nonDigit) >> 3) : 8;
        if (count == 0) {
            return 0;
        }
        // The run moved to the top bytes behind leading zeros, then eight digits at once.
        unsigned long long v = digits << (8 * (8 - count));
        v = ((v & 0x0f0f0f0f0f0f0f0full) * 2561) >> 8;
        v = ((v & 0x00ff00ff00ff00ffull) * 6553601) >> 16;
        value = ((v & 0x0000ffff0000ffffull) * 42949672960001ull) >> 32;
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

// An integer of at most nine digits with an optional sign, at p (no blanks first). Returns the
// end of the number, or null for any other form (longer numbers go through the overflow check).
inline const char* readerScanSimpleInt(const char* p, const char* end, int& value) {
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) {
        negative = (*p == '-');
        ++p;
    }
    unsigned long long parsed = 0;
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
    static const unsigned long long scales[11] = {
        1ull,       10ull,       100ull,       1000ull,       10000ull,      100000ull,
        1000000ull, 10000000ull, 100000000ull, 1000000000ull, 10000000000ull};
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+')) {
        negative = (*p == '-');
        ++p;
    }
    unsigned long long mantissa = 0;
    const int whole = readerDigits(p, end, mantissa);
    if (whole < 0 || whole > 8) {
        return nullptr; // keeps the scaled mantissa below 10^18
    }
    int decimals = 0;
    if (p < end && *p == '.') {
        ++p;
        unsigned long long fraction = 0;
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

//----------------------------------------------------------------------------------
// Line scans: whole list lines of plain numbers in one go
//----------------------------------------------------------------------------------

// The line scans load eight bytes at a time without checking the end of the text: they may only
// start where at least this many bytes follow, which covers any line they accept.
const size_t READER_LINE_MARGIN = 128;

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
// in `value` when there are one to seven of them.
inline int readerWordDigits(uint64_t bytes, uint64_t& value) {
    const uint64_t digits = bytes ^ 0x3030303030303030ull; // '0'..'9' -> 0..9
    const uint64_t nonDigit = readerNonDigits(digits);
    if (nonDigit == 0) {
        return 8;
    }
    const int count = __builtin_ctzll(nonDigit) >> 3;
    if (count > 0) {
        value = readerDigitsValue(digits, count);
    }
    return count;
}

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
inline const char* readerLineEnd(const char* p, int& line) {
    if (*p == '\n') {
        line += 1;
        return p + 1;
    }
    return readerIsSpace(*p) ? p : nullptr;
}

// Matches a literal format: a blank or line end matches any run of white space (also none),
// every other character must stand as written. A mismatch names the format's word that failed.
inline bool readerExpect(TextReader& reader, const char* format) {
    if (reader.failed) {
        return false;
    }
    const char* word = format;   // start of the format word being matched
    size_t wordPos = reader.pos; // where that word began in the file
    for (const char* f = format; *f; ++f) {
        if (readerIsSpace(*f)) {
            readerSkipSpace(reader);
            continue;
        }
        if (f == format || readerIsSpace(f[-1])) {
            word = f;
            wordPos = reader.pos;
        }
        if (reader.pos >= reader.size || reader.text[reader.pos] != *f) {
            const char* wordEnd = word;
            while (*wordEnd && !readerIsSpace(*wordEnd)) {
                ++wordEnd;
            }
            return readerFail(reader, "expected \"" + std::string(word, wordEnd) + "\", found " +
                                          readerFoundText(reader, wordPos));
        }
        ++reader.pos;
    }
    return true;
}

// Scans a decimal integer as %d does (white space first, optional sign). Overflow is a failure.
inline bool readerInt(TextReader& reader, int& value) {
    if (reader.failed) {
        return false;
    }
    readerSkipSpace(reader);
    const char* start = reader.text + reader.pos;
    const char* end = reader.text + reader.size;
    if (const char* stop = readerScanSimpleInt(start, end, value)) {
        reader.pos += (size_t)(stop - start);
        return true;
    }
    const char* p = start;
    if (p < end && *p == '+') {
        ++p;
        if (p < end && *p == '-') {
            return readerFail(reader, "expected an integer, found " + readerFoundText(reader));
        }
    }
    int parsed = 0;
    std::from_chars_result r = std::from_chars(p, end, parsed, 10);
    if (r.ec == std::errc::result_out_of_range) {
        return readerFail(reader, "integer out of range: " + readerFoundText(reader));
    }
    if (r.ec != std::errc()) {
        return readerFail(reader, "expected an integer, found " + readerFoundText(reader));
    }
    value = parsed;
    reader.pos += (size_t)(r.ptr - start);
    return true;
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

// Scans a float as %f does: white space, optional sign, decimals with exponent, inf, nan and
// hexadecimal floats. Values beyond the float range become infinity or zero, as strtof gives them.
inline bool readerFloat(TextReader& reader, float& value) {
    if (reader.failed) {
        return false;
    }
    readerSkipSpace(reader);
    const char* start = reader.text + reader.pos;
    const char* end = reader.text + reader.size;
    if (const char* stop = readerScanSimpleFloat(start, end, value)) {
        reader.pos += (size_t)(stop - start);
        return true;
    }
    const char* p = start;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) {
        negative = (*p == '-');
        ++p;
    }
    bool hex = (end - p >= 2 && p[0] == '0' && (p[1] == 'x' || p[1] == 'X'));
    float parsed = 0.0f;
    std::from_chars_result r{p, std::errc()};
    const char* stop = nullptr;
    if (!hex && readerPlainDecimal(p, end, parsed, stop)) {
        value = negative ? -parsed : parsed;
        reader.pos += (size_t)(stop - start);
        return true;
    }
    if (!hex && p < end && *p != '+' && *p != '-') {
        r = std::from_chars(p, end, parsed, std::chars_format::general);
    }
    if (hex || r.ec == std::errc::result_out_of_range) {
        // Rare forms go through the C library, on a NUL-terminated copy of the word.
        const char* wordEnd = p;
        while (wordEnd < end && !readerIsSpace(*wordEnd)) {
            ++wordEnd;
        }
        std::string word(p, wordEnd);
        char* stop = nullptr;
        parsed = std::strtof(word.c_str(), &stop);
        if (stop == word.c_str()) {
            return readerFail(reader, "expected a number, found " + readerFoundText(reader));
        }
        r.ptr = p + (stop - word.c_str());
        r.ec = std::errc();
    } else if (r.ec != std::errc() || p >= end || *p == '+' || *p == '-') {
        return readerFail(reader, "expected a number, found " + readerFoundText(reader));
    }
    value = negative ? -parsed : parsed;
    reader.pos += (size_t)(r.ptr - start);
    return true;
}

// Scans three floats separated by white space (the "%f %f %f" of the formats).
inline bool readerFloat3(TextReader& reader, float& x, float& y, float& z) {
    return readerFloat(reader, x) && readerFloat(reader, y) && readerFloat(reader, z);
}

// Scans a word as %s does: white space first, then every byte up to the next white space.
inline bool readerWord(TextReader& reader, std::string& word) {
    if (reader.failed) {
        return false;
    }
    readerSkipSpace(reader);
    size_t e = reader.pos;
    while (e < reader.size && !readerIsSpace(reader.text[e])) {
        ++e;
    }
    if (e == reader.pos) {
        return readerFail(reader, "expected a name, found end of file");
    }
    word.assign(reader.text + reader.pos, e - reader.pos);
    reader.pos = e;
    return true;
}

// Reads a count line "<keyword> (%d) :" and checks that `count` entries of at least
// `bytesPerItem` bytes could follow; `line` gets the count's line for later messages.
inline bool readerCountLine(TextReader& reader, const char* keyword, const char* what,
                            size_t bytesPerItem, int& count, int& line) {
    readerSkipSpace(reader);
    size_t start = reader.pos;
    int startLine = reader.line;
    if (!readerExpect(reader, keyword)) {
        return false;
    }
    if (!readerExpect(reader, " (")) {
        // "mondes (" is a misspelt keyword rather than a missing parenthesis.
        reader.error =
            std::string("expected \"") + keyword + " (\", found " + readerFoundText(reader, start);
        reader.errorLine = line = startLine;
        return false;
    }
    line = reader.line;
    if (!readerInt(reader, count) || !readerExpect(reader, ") :\n")) {
        return false;
    }
    return readerCountFits(reader, count, bytesPerItem, line, what);
}
