// Start-up of the real player: from the process start to its first frame presented, for the
// demo map and for a large generated map (world meshes of 500,000 triangles, five trees of
// 5,000 faces, four objects). The first swap is timed by a preloaded probe; the player is as
// shipped. Needs a display (bench/run is run under scripts/with-display).
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_support.h"
#include "first_frame.h"
#include "mesh_maker.h"

namespace fs = std::filesystem;

namespace {

// The scratch directory: the large map, and the probe's stamp for every run (the demo runs from
// the source tree, which must not be written into).
std::string scratchDir;

// Writes the large map under dir/map/large/ and copies the pictures, music and trajectories it
// uses from the repository. Returns false when a file can't be written.
bool writeLargeMap(const std::string& dir) {
    const fs::path root = SKARN_SOURCE_DIR;
    const fs::path map = fs::path(dir) / "map" / "large";
    std::error_code error;
    fs::create_directories(map, error);
    fs::copy(root / "textures", fs::path(dir) / "textures", fs::copy_options::recursive, error);
    fs::create_directories(fs::path(dir) / "media", error);
    fs::copy(root / "media" / "musique.mp3", fs::path(dir) / "media" / "musique.mp3", error);
    const char* trajectories[5][2] = {{"camera", "camera"},
                                      {"avion", "avion"},
                                      {"montgolfiere", "montgolfiere"},
                                      {"ailes", "ailes"},
                                      {"avion", "planeur"}};
    for (const auto& t : trajectories) {
        fs::copy(root / "map" / "demo" / (std::string(t[0]) + ".dpl"),
                 map / (std::string(t[1]) + ".dpl"), error);
        if (error) {
            fprintf(stderr, "startup_bench: %s\n", error.message().c_str());
            return false;
        }
    }
    // Five tiles of 100,000 triangles in a cross around the demo's valley.
    const float w = 120, d = 96;
    const float tiles[5][2] = {{-w / 2, -d / 2},
                               {-w / 2, -d / 2 - d},
                               {-w / 2, d / 2},
                               {-w / 2 - w, -d / 2},
                               {w / 2, -d / 2}};
    const char* pictures[5] = {"sol.jpg", "rocher.jpg", "sol.jpg", "", ""};
    for (int i = 0; i < 5; i++) {
        const Mesh tile =
            terrainMesh(251, 201, tiles[i][0], tiles[i][1], w, d, 6, 11u + unsigned(i));
        if (!writeMeshFile((map / ("sol" + std::to_string(i) + ".msh")).string(), tile,
                           pictures[i])) {
            return false;
        }
    }
    for (int i = 0; i < 5; i++) {
        const float angle = 1.2566f * float(i);
        const Mesh tree =
            leafMesh(5000, {40 * std::cos(angle), 12, 40 * std::sin(angle)}, 6, 100u + unsigned(i));
        if (!writeMeshFile((map / ("arbre" + std::to_string(i) + ".msh")).string(), tree,
                           "sapin.tga")) {
            return false;
        }
    }
    const char* objects[4] = {"avion", "montgolfiere", "ailes", "planeur"};
    for (int i = 0; i < 4; i++) {
        const Mesh body = terrainMesh(21, 21, -4, -4, 8, 8, 1, 200u + unsigned(i));
        if (!writeMeshFile((map / (std::string(objects[i]) + ".msh")).string(), body, "avion.jpg",
                           i == 0)) {
            return false;
        }
    }
    std::ofstream mde(map / "large.mde");
    mde << "Grande carte generee pour le banc d'essai\n"
           "position : 0 12 60\ncible : 0 5 0\nanime : 1\n"
           "lampes (1) :\nposition : 60 80 70\ncouleur : 1 0.95 0.85\nintensite : 1\n"
           "monde (5) :\nsol0\nsol1\nsol2\nsol3\nsol4\n"
           "objets (4) :\navion\nmontgolfiere\nailes\nplaneur\n"
           "arbres (5) :\narbre0\narbre1\narbre2\narbre3\narbre4\n";
    return bool(mde);
}

void startup(benchmark::State& state, const std::string& dir, const std::string& mapName,
             const std::string& name) {
    double total = 0;
    for (auto _ : state) {
        const double seconds = timeFirstFrame(SKARN_PLAYER, FIRST_FRAME_PROBE,
                                              scratchDir + "/first-frame", dir, mapName);
        if (seconds < 0) {
            state.SkipWithError("no frame presented");
            return;
        }
        state.SetIterationTime(seconds);
        total += seconds;
    }
    recordSeconds(name, total / double(state.iterations()));
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const std::string dir = makeScratchDir("skarn-startup-bench-");
    scratchDir = dir;
    if (dir.empty() || !writeLargeMap(dir)) {
        fprintf(stderr, "startup_bench: can't write the large map\n");
        removeScratchDir(dir);
        return 1;
    }
    benchmark::RegisterBenchmark("startup/demo", startup, std::string(SKARN_SOURCE_DIR),
                                 std::string("demo"), std::string("demo"))
        ->UseManualTime()
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("startup/largeMap", startup, dir, std::string("large"),
                                 std::string("large"))
        ->UseManualTime()
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    for (const char* name : {"demo", "large"}) {
        const double seconds = recordedSeconds(name);
        if (seconds > 0) {
            printf("start-up to the first frame, %s map: %.0f ms%s\n", name, seconds * 1e3,
                   std::string(name) == "large"
                       ? (seconds <= 2.0 ? " (goal: within 2 s) met" : " (goal: within 2 s) MISSED")
                       : "");
        }
    }
    removeScratchDir(dir);
    benchmark::Shutdown();
    return 0;
}
