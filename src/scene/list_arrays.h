// List arrays of the mesh reader: reserved from a count without being touched, grown a block at a
// time as entries are read, so memory follows the text actually read. Scene side, header-only.
#pragma once

#include <cstdint>
#include <new>
#include <stdexcept>
#include <string>
#include <sys/mman.h>
#include <vector>

#include "base/text_reader.h"

// Lists are sized and read this many entries at a time: an array grows with the entries actually
// read, so a count that the text does not back (a sparse file of zeros) costs no memory.
inline const size_t LIST_BLOCK_ENTRIES = (size_t)1 << 22;
inline const size_t BULK_BYTES = (size_t)1 << 21; // a huge page

// Reserves room for `count` values without touching it; false when memory refuses it.
template <typename T> bool reserveArray(std::vector<T>& v, size_t count) {
    try {
        v.reserve(count);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    if (count * sizeof(T) >= 2 * BULK_BYTES) {
        uintptr_t from = ((uintptr_t)v.data() + BULK_BYTES - 1) & ~(uintptr_t)(BULK_BYTES - 1);
        uintptr_t to = ((uintptr_t)v.data() + count * sizeof(T)) & ~(uintptr_t)(BULK_BYTES - 1);
        madvise((void*)from, to - from, MADV_HUGEPAGE);
    }
    return true;
}

// Grows `v` within its reserved room to `size` values. The new part is faulted in bulk first:
// one page fault per 4 KiB page costs more than parsing the numbers that fill it.
template <typename T> void growArray(std::vector<T>& v, size_t size) {
#ifdef MADV_POPULATE_WRITE
    const uintptr_t start = (uintptr_t)(v.data() + v.size());
    const uintptr_t stop = (uintptr_t)(v.data() + size);
    if (stop - start >= 2 * BULK_BYTES) {
        uintptr_t from = (start + BULK_BYTES - 1) & ~(uintptr_t)(BULK_BYTES - 1);
        uintptr_t to = stop & ~(uintptr_t)(BULK_BYTES - 1);
        madvise((void*)from, to - from, MADV_POPULATE_WRITE);
    }
#endif
    v.resize(size);
}

// Reads a list of `count` entries of `valuesPerEntry` values into `out` a block at a time with
// `readBlock(first, entries)`; `line` and `what` name the count in messages.
template <typename T, typename ReadBlock>
bool readList(TextReader& reader, std::vector<T>& out, size_t count, size_t valuesPerEntry,
              int64_t line, const char* what, const ReadBlock& readBlock) {
    if (reader.failed) {
        return false;
    }
    out.clear();
    if (!reserveArray(out, count * valuesPerEntry)) {
        return readerFailAt(reader, line,
                            std::string("not enough memory for the ") + what + " count " +
                                std::to_string(count));
    }
    for (size_t done = 0; done < count;) {
        const size_t block = count - done < LIST_BLOCK_ENTRIES ? count - done : LIST_BLOCK_ENTRIES;
        growArray(out, (done + block) * valuesPerEntry);
        if (!readBlock(out.data() + done * valuesPerEntry, block)) {
            return false;
        }
        done += block;
    }
    return true;
}
