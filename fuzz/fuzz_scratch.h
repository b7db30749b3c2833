// Scratch files for the fuzz targets: one private directory per process, files written whole.
#pragma once

#include <string>

// The process's scratch directory (made on first use, in memory when /dev/shm exists), with a
// trailing slash.
const std::string& scratchDir();

// Writes `size` bytes to `path`, replacing the file. Returns false when it can't.
bool writeScratchFile(const std::string& path, const unsigned char* data, size_t size);
