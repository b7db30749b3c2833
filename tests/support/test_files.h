// Test helpers: scratch directories and files, a scratch map to run inside, what a step prints.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

inline std::string makeScratchDir() {
    const char* base = getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/skarn-test-XXXXXX";
    EXPECT_NE(mkdtemp(pattern.data()), nullptr) << "cannot make a scratch directory";
    return pattern;
}

inline void writeTextFile(const std::string& path, const std::string& text) {
    FILE* f = fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << "cannot write " << path;
    fwrite(text.data(), 1, text.size(), f);
    fclose(f);
}

inline void removeScratchDir(const std::string& dir) {
    EXPECT_EQ(system(("rm -rf '" + dir + "'").c_str()), 0) << "cannot remove " << dir;
}

// A scratch working directory holding map/<name>/ and textures/; the test runs inside it.
struct ScratchMap {
    std::string root, previous, dir; // scratch directory, directory to return to, "map/<name>/"
};

inline ScratchMap enterScratchMap(const std::string& name) {
    ScratchMap m{makeScratchDir(), "", "map/" + name + "/"};
    std::vector<char> cwd(4096);
    m.previous = getcwd(cwd.data(), cwd.size()) ? cwd.data() : ".";
    EXPECT_EQ(chdir(m.root.c_str()), 0);
    for (const char* dir : {"map", "textures", m.dir.c_str()}) {
        mkdir(dir, 0755);
    }
    return m;
}

inline void leaveScratchMap(const ScratchMap& m) {
    EXPECT_EQ(chdir(m.previous.c_str()), 0);
    removeScratchDir(m.root);
}

// A one-triangle mesh file whose option line is left for the caller to end.
inline std::string triangleMeshUpToOption() {
    return "vertices (3) :\n0 0 0\n1 0 0\n0 1 0\nfaces (1) :\n0 1 2\n"
           "normales (3) :\n0 0 1\n0 0 1\n0 0 1\ncouleur : 1 1 1\noption : ";
}

inline std::string printedBy(const std::function<void()>& step) {
    testing::internal::CaptureStdout();
    step();
    fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

// The console line of a picture that can't be loaded.
inline std::string textureFailure(const std::string& file) {
    return file + " : probl\xe8"
                  "me lors du chargement de la texture --> texture d\xe9"
                  "sactiv\xe9"
                  "e !\n";
}
