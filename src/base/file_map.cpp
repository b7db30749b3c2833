// File mapping: regular files mapped read-only, pipes and devices read to their end.
// Base layer: uses nothing of ours.
#include "base/file_map.h"

#include <cerrno>
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

void fileBytesTake(FileBytes& bytes, std::shared_ptr<std::string> text) {
    bytes.data = text->data();
    bytes.size = text->size();
    bytes.storage = std::shared_ptr<const char>(text, text->data());
}

int mapFile(const std::string& path, FileBytes& bytes) {
    bytes = FileBytes{};
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
            bytes.storage = std::shared_ptr<const char>(
                (const char*)map, [size](const char* p) { munmap((void*)p, size); });
            bytes.data = (const char*)map;
            bytes.size = size;
            return 0;
        }
    }
    auto text = std::make_shared<std::string>();
    int err = readAll(fd, *text);
    ::close(fd);
    if (err == 0) {
        fileBytesTake(bytes, text);
    }
    return err;
}
