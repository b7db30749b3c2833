// Text reader: a whole file held in memory, read the way formatted input reads it, with the
// line number and the first failure kept for a "file:line: error: what" message.
// Base layer: uses nothing of ours. The fast number scans are in base/number_scan.h.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "base/file_map.h"
#include "base/number_scan.h"

struct TextReader {
    std::string path;                    // file name used in messages
    std::shared_ptr<const char> storage; // owns the bytes: a file mapping or a copy
    const char* text = "";               // the whole file (not NUL-terminated)
    size_t size = 0;                     // bytes in text
    size_t pos = 0;                      // next byte to read
    int64_t line = 1;                    // line of the byte at pos, counted from 1
    bool failed = false;                 // a read failed; later reads fail at once
    std::string error;                   // what failed first
    int64_t errorLine = 0;               // line of the first failure
};

//----------------------------------------------------------------------------------
// Set-up
//----------------------------------------------------------------------------------

// Starts a reader over text already in memory (tests, tools).
void readerFromText(TextReader& reader, const std::string& path, const std::string& text);

// Starts a reader over the whole file (mapped when regular). Returns 0, or the errno of the
// failed open or read.
int readerOpen(TextReader& reader, const std::string& path);

//----------------------------------------------------------------------------------
// Failures and position
//----------------------------------------------------------------------------------

// Records a failure at the given line unless one is already recorded. Always returns false.
bool readerFailAt(TextReader& reader, int64_t line, const std::string& message);

// Records a failure at the current line. Always returns false.
bool readerFail(TextReader& reader, const std::string& message);

// The first failure as "path:line: error: what".
std::string readerErrorText(const TextReader& reader);

// Skips any run of blanks and line ends (also none), counting lines.
void readerSkipSpace(TextReader& reader);

// True when only blanks (or nothing) are left.
bool readerAtEnd(TextReader& reader);

// Bytes not read yet.
size_t readerRemaining(const TextReader& reader);

// What stands at byte `at` (or at the reader), for messages: the next word, or "end of file".
std::string readerFoundText(const TextReader& reader, size_t at);
std::string readerFoundText(const TextReader& reader);

// Reads characters up to and including the first line end, or to the end of the file.
bool readerSkipLine(TextReader& reader);

// Checks that `count` items of at least `bytesPerItem` bytes each (one separator included) could
// still stand in the file, before anything is allocated from the count. `what` names the count.
bool readerCountFits(TextReader& reader, int count, size_t bytesPerItem, int64_t line,
                     const char* what);

//----------------------------------------------------------------------------------
// Formatted reads (each fails at once after an earlier failure)
//----------------------------------------------------------------------------------

// Matches a literal format: a blank or line end matches any run of white space (also none),
// every other character must stand as written. A mismatch names the format's word that failed.
bool readerExpect(TextReader& reader, const char* format);

// Scans a decimal integer as %d does (white space first, optional sign). Overflow is a failure.
bool readerInt(TextReader& reader, int& value);

// Scans a float as %f does: white space, optional sign, decimals with exponent, inf, nan and
// hexadecimal floats. Values beyond the float range become infinity or zero, as strtof gives them.
bool readerFloat(TextReader& reader, float& value);

// Scans three floats separated by white space (the "%f %f %f" of the formats).
bool readerFloat3(TextReader& reader, float& x, float& y, float& z);

// Scans a word as %s does: white space first, then every byte up to the next white space. A word
// holding a NUL byte is a failure: no file can be named by it.
bool readerWord(TextReader& reader, std::string& word);

// Reads a count line "<keyword> (%d) :" whatever the count (negative included).
bool readerCountLineAny(TextReader& reader, const char* keyword, int& count, int64_t& line);

// Reads a count line "<keyword> (%d) :" and checks that `count` entries of at least
// `bytesPerItem` bytes could follow; `line` gets the count's line for later messages.
bool readerCountLine(TextReader& reader, const char* keyword, const char* what, size_t bytesPerItem,
                     int& count, int64_t& line);
