// Scratch files for the fuzz targets.
#include "fuzz_scratch.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

const std::string& scratchDir() {
    static std::string dir;
    if (dir.empty()) {
        std::string pattern = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp") +
                              std::string("/skarn-fuzz-XXXXXX");
        if (mkdtemp(pattern.data()) == nullptr) {
            perror("mkdtemp");
            abort();
        }
        dir = pattern + "/";
    }
    return dir;
}

bool writeScratchFile(const std::string& path, const unsigned char* data, size_t size) {
    FILE* f = fopen(path.c_str(), "wb");
    if (f == nullptr) {
        return false;
    }
    bool ok = size == 0 || fwrite(data, 1, size, f) == size;
    return fclose(f) == 0 && ok;
}
