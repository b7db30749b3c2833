// File bytes: regular files read whole into memory; pipes, devices and sockets refused.
// Base layer: uses nothing of ours.
#include "base/file_map.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

// Reads `fd` to its end into `out`. Returns 0 or the errno.
static int readAll(int fd, std::string& out) {
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

// Reads up to `size` bytes into `into`; `got` tells how many came before the end of the file.
static int readUpTo(int fd, char* into, size_t size, size_t& got) {
    got = 0;
    while (got < size) {
        ssize_t n = ::read(fd, into + got, size - got);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return errno;
        }
        if (n == 0) {
            break;
        }
        got += (size_t)n;
    }
    return 0;
}

void fileBytesTake(FileBytes& bytes, std::shared_ptr<std::string> text) {
    bytes.data = text->data();
    bytes.size = text->size();
    bytes.storage = std::shared_ptr<const char>(text, text->data());
}

int readFileBytes(int fd, size_t expected, FileBytes& bytes) {
    bytes = FileBytes{};
    if (expected == 0) {
        auto text = std::make_shared<std::string>();
        int err = readAll(fd, *text);
        if (err == 0) {
            fileBytesTake(bytes, text);
        }
        return err;
    }
    // Fresh pages, not zero-filled by us: the read writes every byte. Large files get huge pages,
    // faulted in bulk first: one fault per 4 KiB page would cost more than the copy itself.
    const size_t huge = (size_t)1 << 21;
    const size_t room = (expected + huge - 1) & ~(huge - 1);
    void* pages = mmap(nullptr, room, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED) {
        return ENOMEM;
    }
    if (room >= 2 * huge) {
        madvise(pages, room, MADV_HUGEPAGE);
#ifdef MADV_POPULATE_WRITE
        madvise(pages, room, MADV_POPULATE_WRITE);
#endif
    }
    char* data = (char*)pages;
    std::shared_ptr<const char> storage(data, [room](const char* p) { munmap((void*)p, room); });
    size_t got = 0;
    int err = readUpTo(fd, data, expected, got);
    if (err != 0) {
        return err;
    }
    char more = 0;
    size_t extra = 0;
    if (got != expected || readUpTo(fd, &more, 1, extra) != 0 || extra != 0) {
        return FILE_CHANGED;
    }
    bytes.storage = storage;
    bytes.data = data;
    bytes.size = expected;
    return 0;
}

// Maps a large regular file under a read lease: whoever then cuts or rewrites the file waits until
// the mapping is released (a cut under a bare mapping ends the reader with a bus error), and the
// bytes cost no copy. The lease's break notice comes as SIGURG, which is ignored by default.
// Returns 0 with `fd` kept open in the bytes' storage, or -1 (nothing done) when no lease can be
// had (a file of another owner, a writer already there): the caller copies the file instead.
static int mapUnderLease(int fd, size_t size, FileBytes& bytes) {
    if (fcntl(fd, F_SETSIG, SIGURG) != 0 || fcntl(fd, F_SETLEASE, F_RDLCK) != 0) {
        return -1;
    }
    struct stat info;
    void* map = MAP_FAILED;
    // The size again under the lease: a cut before it was taken must not reach the mapping.
    if (fstat(fd, &info) == 0 && (size_t)info.st_size == size) {
        map = mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
    }
    if (map == MAP_FAILED) {
        fcntl(fd, F_SETLEASE, F_UNLCK);
        return -1;
    }
    madvise(map, size, MADV_SEQUENTIAL);
    bytes.storage = std::shared_ptr<const char>((const char*)map, [size, fd](const char* p) {
        munmap((void*)p, size);
        ::close(fd); // gives the lease back
    });
    bytes.data = (const char*)map;
    bytes.size = size;
    return 0;
}

int readWholeFile(const std::string& path, FileBytes& bytes) {
    bytes = FileBytes{};
    // Without O_NONBLOCK the open of a FIFO waits for a writer that never comes.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        return errno;
    }
    struct stat info;
    if (fstat(fd, &info) != 0) {
        int err = errno;
        ::close(fd);
        return err;
    }
    int err = 0;
    if (S_ISDIR(info.st_mode)) {
        err = EISDIR; // what reading it would say
    } else if (!S_ISREG(info.st_mode)) {
        err = FILE_NOT_REGULAR; // /dev/zero never ends, a FIFO or a terminal may never answer
    } else if ((unsigned long long)info.st_size > (unsigned long long)SIZE_MAX / 2) {
        err = ENOMEM;
    } else {
        // Back to blocking reads: a regular file never waits anyway.
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        const size_t size = (size_t)info.st_size;
        if (size >= FILE_MAP_BYTES && mapUnderLease(fd, size, bytes) == 0) {
            return 0; // the descriptor lives on with the mapping
        }
        err = readFileBytes(fd, size, bytes);
    }
    ::close(fd);
    return err;
}

int regularFileCheck(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        return errno;
    }
    if (S_ISDIR(info.st_mode)) {
        return EISDIR;
    }
    return S_ISREG(info.st_mode) ? 0 : FILE_NOT_REGULAR;
}

std::string fileErrorText(int err) {
    switch (err) {
    case FILE_NOT_REGULAR:
        return "not a regular file (a pipe, a device or a socket is never read)";
    case FILE_CHANGED:
        return "file changed or ended while read";
    default:
        return strerror(err);
    }
}
