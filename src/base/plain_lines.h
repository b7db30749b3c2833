// Long lists of one plain line per entry ("1.5 -2 3\n") read in two halves on two threads. The
// second half starts after as many line ends as the first half has entries; that holds only
// when every entry of the first half is one plain line, which the first half checks.
// Base layer: uses nothing of ours.
#pragma once

#include <cstddef>
#include <cstring>
#include <system_error>
#include <thread>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Reads entries `from`, `from` + 1, ... below `to` from p while each starts a line (no blank
// first) and `scan(p, index)` takes it whole with its line end. `scan` returns the start of the
// next entry or null; it only starts below `limit`, where the caller's line scans may start.
// Returns the entries read, p moved past them.
template <typename ScanLine>
size_t plainLinesRead(const char*& p, const char* limit, size_t from, size_t to,
                      const ScanLine& scan) {
    size_t index = from;
    for (; index < to && p < limit && (unsigned char)*p > ' '; ++index) {
        const char* next = scan(p, index);
        if (next == nullptr || next[-1] != '\n') {
            break;
        }
        p = next;
    }
    return index - from;
}

// The byte after the `lines`-th line end from p, or null when the text has fewer. Blocks of
// 4080 bytes are counted sixteen bytes at a time (each byte lane counts up to 255 line ends),
// the last lines one line end at a time.
inline const char* plainLinesSkip(const char* p, const char* end, size_t lines) {
#ifdef __SSE2__
    const size_t blockBytes = 255 * 16;
    const __m128i newline = _mm_set1_epi8('\n');
    for (; (size_t)(end - p) >= blockBytes; p += blockBytes) {
        __m128i lanes = _mm_setzero_si128();
        for (const char* q = p; q != p + blockBytes; q += 16) {
            const __m128i bytes = _mm_loadu_si128((const __m128i*)q);
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(bytes, newline));
        }
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        const size_t found = (size_t)_mm_cvtsi128_si32(sums) + (size_t)_mm_extract_epi16(sums, 4);
        if (found >= lines) {
            break;
        }
        lines -= found;
    }
#endif
    for (; lines > 0; --lines) {
        p = (const char*)std::memchr(p, '\n', (size_t)(end - p));
        if (p == nullptr) {
            return nullptr;
        }
        ++p;
    }
    return p;
}

// True when a list of `count` entries at p seems to hold more than `splitBytes` of text, going
// by the lines of its first 4 KiB.
inline bool plainLinesLong(const char* p, const char* end, size_t count, size_t splitBytes) {
    const size_t sampleBytes = (size_t)(end - p) < 4096 ? (size_t)(end - p) : 4096;
    size_t sampleLines = 0;
    const char* q = p;
    while ((q = (const char*)std::memchr(q, '\n', (size_t)(p + sampleBytes - q))) != nullptr) {
        ++sampleLines;
        ++q;
    }
    return sampleLines > 0 &&
           (double)sampleBytes * (double)count > (double)splitBytes * (double)sampleLines;
}

// Reads the leading plain lines of a list of `count` entries at p, in two halves on two threads
// when its text is longer than `splitBytes`; the line scans may start below `limit`, the text
// ends at `end`. Returns the entries read, p moved past them (0 and p unmoved for a short list):
// the first half's, and the second half's too when the first ends where the second starts.
// Whatever the second half wrote past the returned entries is for the caller to write again.
template <typename ScanLine>
size_t plainLinesSplit(const char*& p, const char* end, const char* limit, size_t count,
                       size_t splitBytes, const ScanLine& scan) {
    const size_t half = count / 2;
    if (half == 0 || !plainLinesLong(p, end, count, splitBytes)) {
        return 0;
    }
    const char* secondStart = nullptr;
    const char* secondEnd = nullptr;
    size_t secondRead = 0;
    auto second = [&, start = p] {
        secondStart = secondEnd = plainLinesSkip(start, end, half);
        if (secondStart != nullptr) {
            secondRead = plainLinesRead(secondEnd, limit, half, count, scan);
        }
    };
    // A thread the system refuses is no error: the second half is then read after the first.
    // The refusal is caught here and goes no further.
    std::thread helper;
    try {
        helper = std::thread(second);
    } catch (const std::system_error&) {
    }
    const char* first = p;
    const size_t firstRead = plainLinesRead(first, limit, 0, half, scan);
    if (helper.joinable()) {
        helper.join();
    } else {
        second();
    }
    if (first == secondStart) {
        p = secondEnd;
        return half + secondRead;
    }
    p = first;
    return firstRead;
}
