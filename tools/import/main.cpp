// skarn-import: a show's map from a 3D tool's scene file. The entry only: reads the command
// line, runs the import, prints what it reports and ends with its status.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "import/import_run.h"

static int usage() {
    std::printf("usage: skarn-import [--force] [--scale F] SCENE_FILE MAP\n");
    return 1;
}

int main(int argc, char** argv) {
    ImportRequest request;
    std::vector<std::string> words;
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--force") == 0) {
            request.force = true;
        } else if (std::strcmp(argv[i], "--scale") == 0 && i + 1 < argc) {
            char* end = nullptr;
            request.scale = std::strtof(argv[++i], &end);
            if (*end || !std::isfinite(request.scale) || request.scale <= 0) {
                std::printf("skarn-import: --scale takes a number above 0, not %s\n", argv[i]);
                return 1;
            }
        } else if (argv[i][0] == '-' && argv[i][1]) {
            return usage();
        } else {
            words.push_back(argv[i]);
        }
    }
    if (words.size() != 2) {
        return usage();
    }
    request.sceneFile = words[0];
    request.mapName = words[1];
    // On a terminal, an import that takes over a second says what it is doing, on one line.
    std::string shown; // the progress line on screen, empty when none
    if (isatty(STDOUT_FILENO)) {
        request.progress = [&shown](const std::string& stage, double seconds) {
            std::string line = stage + "... " + std::to_string((int)seconds) + " s";
            if (seconds >= 1 && line != shown) {
                std::printf("\r%s\033[K", line.c_str());
                std::fflush(stdout);
                shown = line;
            }
        };
    }
    std::vector<std::string> lines;
    std::string error;
    int status = importScene(request, lines, error);
    if (!shown.empty())
        std::printf("\r\033[K");
    for (const std::string& line : lines) {
        std::printf("%s\n", line.c_str());
    }
    if (status != 0) {
        std::printf("%s\n", error.c_str());
    }
    return status;
}
