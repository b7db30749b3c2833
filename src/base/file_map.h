// File bytes: a whole file in memory, copied, or mapped under a read lease when large. Only regular
// files are read: a pipe, a device or a socket could block the open or never end. Base layer: uses
// nothing of ours.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

// The bytes of one file, kept alive by `storage`.
struct FileBytes {
    std::shared_ptr<const char> storage; // owns the bytes
    const char* data = "";               // the whole file (not NUL-terminated)
    size_t size = 0;                     // bytes in data
};

// Failures of readWholeFile beyond the system's own error numbers (those are positive).
#define FILE_NOT_REGULAR -1 // a pipe, a device or a socket: refused before any read
#define FILE_CHANGED -2     // the file grew or shrank while it was read

// Regular files of this size or more are mapped under a read lease when one can be had (no copy);
// smaller ones, and those without a lease, are copied.
#define FILE_MAP_BYTES ((size_t)16 << 20)

// Makes the bytes of `text` the file's bytes, kept alive by the record.
void fileBytesTake(FileBytes& bytes, std::shared_ptr<std::string> text);

// Loads the whole file into memory. Opening never blocks (a FIFO is refused, not waited on). A
// file cut while it is read gives FILE_CHANGED when it was copied, and waits for the reader to be
// done when it was mapped under a lease: never a bus error. Returns 0, an errno (ENOMEM when the
// file can't fit in memory), or one of the FILE_* failures above.
int readWholeFile(const std::string& path, FileBytes& bytes);

// Reads the regular file open on `fd` that fstat said holds `expected` bytes (0: unknown, as in
// /proc, read to the end). FILE_CHANGED when it holds fewer or more by the time it is read.
int readFileBytes(int fd, size_t expected, FileBytes& bytes);

// Whether `path` names a regular file, asked without blocking (a FIFO is not opened): 0, an
// errno (EISDIR for a directory), or FILE_NOT_REGULAR. For files that another library opens.
int regularFileCheck(const std::string& path);

// The reason of a readWholeFile failure, for "path: reason" lines: the system's text for an errno.
std::string fileErrorText(int err);
