// Text reader: formatted reads over a whole file in memory, counting lines and keeping the first
// failure for a "file:line: error: what" message. Base layer: uses nothing of ours.
#include "base/text_reader.h"

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/number_scan.h"

//----------------------------------------------------------------------------------
// Set-up
//----------------------------------------------------------------------------------

void readerFromText(TextReader& reader, const std::string& path, const std::string& text) {
    reader = TextReader{};
    reader.path = path;
    FileBytes bytes;
    fileBytesTake(bytes, std::make_shared<std::string>(text));
    reader.storage = bytes.storage;
    reader.text = bytes.data;
    reader.size = bytes.size;
}

int readerOpen(TextReader& reader, const std::string& path) {
    reader = TextReader{};
    reader.path = path;
    FileBytes bytes;
    const int err = readWholeFile(path, bytes);
    reader.storage = bytes.storage;
    reader.text = bytes.data;
    reader.size = bytes.size;
    return err;
}

//----------------------------------------------------------------------------------
// Failures and position
//----------------------------------------------------------------------------------

// Records a failure at the given line unless one is already recorded. Always returns false.
bool readerFailAt(TextReader& reader, int64_t line, const std::string& message) {
    if (!reader.failed) {
        reader.failed = true;
        reader.error = message;
        reader.errorLine = line;
    }
    return false;
}

// Records a failure at the current line. Always returns false.
bool readerFail(TextReader& reader, const std::string& message) {
    return readerFailAt(reader, reader.line, message);
}

// The first failure as "path:line: error: what".
std::string readerErrorText(const TextReader& reader) {
    return reader.path + ":" + std::to_string(reader.errorLine) + ": error: " + reader.error;
}

// Skips any run of blanks and line ends (also none), counting lines.
void readerSkipSpace(TextReader& reader) {
    const char* p = reader.text + reader.pos;
    const char* end = reader.text + reader.size;
    int64_t lines = 0;
    while (p < end && readerIsSpace(*p)) {
        lines += (*p == '\n');
        ++p;
    }
    reader.line += lines;
    reader.pos = (size_t)(p - reader.text);
}

// True when only blanks (or nothing) are left.
bool readerAtEnd(TextReader& reader) {
    readerSkipSpace(reader);
    return reader.pos >= reader.size;
}

// Bytes not read yet.
size_t readerRemaining(const TextReader& reader) {
    return reader.size - reader.pos;
}

// What stands at byte `at`, for messages: the next word from there, or "end of file".
std::string readerFoundText(const TextReader& reader, size_t at) {
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
    for (size_t i = at; i < e; ++i) {
        // A raw NUL would cut the line short wherever the message is read as C text.
        if (reader.text[i] == '\0') {
            found += "\\0";
        } else {
            found += reader.text[i];
        }
    }
    found += '"';
    return found;
}

// What stands at the reader, for messages.
std::string readerFoundText(const TextReader& reader) {
    return readerFoundText(reader, reader.pos);
}

// Reads characters up to and including the first line end, or to the end of the file.
bool readerSkipLine(TextReader& reader) {
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
bool readerCountFits(TextReader& reader, int count, size_t bytesPerItem, int64_t line,
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

// Matches a literal format: a blank or line end matches any run of white space (also none),
// every other character must stand as written. A mismatch names the format's word that failed.
bool readerExpect(TextReader& reader, const char* format) {
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
bool readerInt(TextReader& reader, int& value) {
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

// Scans a float as %f does: white space, optional sign, decimals with exponent, inf, nan and
// hexadecimal floats. Values beyond the float range become infinity or zero, as strtof gives them.
bool readerFloat(TextReader& reader, float& value) {
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
bool readerFloat3(TextReader& reader, float& x, float& y, float& z) {
    return readerFloat(reader, x) && readerFloat(reader, y) && readerFloat(reader, z);
}

// Scans a word as %s does: white space first, then every byte up to the next white space.
bool readerWord(TextReader& reader, std::string& word) {
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
    // A path is cut at a NUL when it is opened: the name would name another file.
    if (std::memchr(reader.text + reader.pos, '\0', e - reader.pos) != nullptr) {
        return readerFail(reader, "a NUL byte inside the name " + readerFoundText(reader));
    }
    word.assign(reader.text + reader.pos, e - reader.pos);
    reader.pos = e;
    return true;
}

// Reads a count line "<keyword> (%d) :" whatever the count; `line` gets the count's line.
bool readerCountLineAny(TextReader& reader, const char* keyword, int& count, int64_t& line) {
    readerSkipSpace(reader);
    size_t start = reader.pos;
    int64_t startLine = reader.line;
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
    return readerInt(reader, count) && readerExpect(reader, ") :\n");
}

// Reads a count line "<keyword> (%d) :" and checks that `count` entries of at least
// `bytesPerItem` bytes could follow; `line` gets the count's line for later messages.
bool readerCountLine(TextReader& reader, const char* keyword, const char* what, size_t bytesPerItem,
                     int& count, int64_t& line) {
    return readerCountLineAny(reader, keyword, count, line) &&
           readerCountFits(reader, count, bytesPerItem, line, what);
}
