// Test helpers: a scratch directory per test and files written into it.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

// Makes a fresh directory under the system's temporary directory and returns its path.
inline std::string makeScratchDir() {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/skarn-test-XXXXXX";
    char* made = mkdtemp(pattern.data());
    EXPECT_NE(made, nullptr) << "cannot make a scratch directory";
    return pattern;
}

// Writes `text` byte for byte into `path`, making no directories.
inline void writeTextFile(const std::string& path, const std::string& text) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << "cannot write " << path;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

// Removes a scratch directory and everything in it.
inline void removeScratchDir(const std::string& dir) {
    std::string command = "rm -rf '" + dir + "'";
    if (system(command.c_str()) != 0) {
        ADD_FAILURE() << "cannot remove " << dir;
    }
}
