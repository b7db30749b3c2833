// File mapping: a whole file's bytes in memory, mapped when it is a regular file and read to its
// end otherwise. Base layer: uses nothing of ours.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

// The bytes of one file, kept alive by `storage` (a mapping or a copy).
struct FileBytes {
    std::shared_ptr<const char> storage; // owns the bytes
    const char* data = "";               // the whole file (not NUL-terminated)
    size_t size = 0;                     // bytes in data
};

// Makes the bytes of `text` the file's bytes, kept alive by the record.
void fileBytesTake(FileBytes& bytes, std::shared_ptr<std::string> text);

// Loads the whole file: a regular file is mapped (no copy, the fastest way in), anything else
// is read to its end. Returns 0, or the errno of the failed open or read.
int mapFile(const std::string& path, FileBytes& bytes);
