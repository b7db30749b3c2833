// Mesh file reading: the project's reader against one fscanf per line, on a generated mesh of
// 1,000,000 vertices and about 2,000,000 textured faces; speed in MB/s of file text, the
// ratio, and the peak memory of a load in a fresh process against its budget.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench_support.h"
#include "fscanf_mesh_reader.h"
#include "mesh_maker.h"
#include "scene/mesh_file.h"
#include "base/text_reader.h"

namespace {

const int GRID_SIDE = 1000; // vertices per side: 1,000,000 vertices, 1,996,002 faces

std::string meshPath; // the generated file
double fileBytes = 0; // its size

// The project's reader, as loadMesh runs it minus the console line and the picture.
bool shippedRead(const std::string& path, Mesh& mesh) {
    TextReader reader;
    std::string texture;
    if (readerOpen(reader, path) != 0) {
        return false;
    }
    if (!parseMesh(reader, mesh, texture)) {
        fprintf(stderr, "%s\n", readerErrorText(reader).c_str());
        return false;
    }
    return true;
}

bool baselineRead(const std::string& path, Mesh& mesh) {
    std::string texture;
    return fscanfReadMesh(path, mesh, texture);
}

// Bytes the record's arrays hold.
double arrayBytes(const Mesh& mesh) {
    return double(mesh.vertices.capacity() * sizeof(Vec3) + mesh.normals.capacity() * sizeof(Vec3) +
                  mesh.faces.capacity() * sizeof(int) + mesh.faceUVs.capacity() * sizeof(float) +
                  mesh.faceDistance.capacity() * sizeof(float) +
                  mesh.faceOrder.capacity() * sizeof(int));
}

void readBenchmark(benchmark::State& state, bool shipped) {
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    for (auto _ : state) {
        Mesh mesh;
        const bool ok = shipped ? shippedRead(meshPath, mesh) : baselineRead(meshPath, mesh);
        if (!ok || mesh.faceCount <= 0) {
            state.SkipWithError("the mesh file was not read");
            return;
        }
        benchmark::DoNotOptimize(mesh.faces.data());
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.SetBytesProcessed(int64_t(fileBytes) * state.iterations());
    recordSeconds(shipped ? "shipped" : "fscanf", seconds / double(state.iterations()));
    // Processor time too: the work both threads did, beside the time it took.
    const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    recordSeconds(shipped ? "shipped-cpu" : "fscanf-cpu", cpuSeconds / double(state.iterations()));
}

// True when both readers give the same record.
bool sameRecords(const Mesh& a, const Mesh& b) {
    auto sameVec3 = [](const std::vector<Vec3>& x, const std::vector<Vec3>& y) {
        return x.size() == y.size() && memcmp(x.data(), y.data(), x.size() * sizeof(Vec3)) == 0;
    };
    return a.vertexCount == b.vertexCount && a.faceCount == b.faceCount &&
           sameVec3(a.vertices, b.vertices) && sameVec3(a.normals, b.normals) &&
           a.faces == b.faces && a.faceUVs == b.faceUVs && a.textured == b.textured &&
           memcmp(&a.color, &b.color, sizeof a.color) == 0;
}

// Child mode: one load in this fresh process, then "rss-before peak arrays" on standard output.
int measureOneLoad(const char* which, const char* path) {
    const long long before = procStatusBytes("VmRSS");
    Mesh mesh;
    const bool ok =
        strcmp(which, "shipped") == 0 ? shippedRead(path, mesh) : baselineRead(path, mesh);
    const long long peak = procStatusBytes("VmHWM");
    if (!ok || before < 0 || peak < 0) {
        return 1;
    }
    printf("%lld %lld %.0f\n", before, peak, arrayBytes(mesh));
    return 0;
}

// Runs measureOneLoad in a fresh copy of this program and prints the figure against its budget.
void printPeakMemory(const char* which) {
    const std::string command =
        "/proc/" + std::to_string(getpid()) + "/exe --peak-memory " + which + " " + meshPath;
    FILE* child = popen(command.c_str(), "r");
    long long before = 0, peak = 0;
    double arrays = 0;
    const bool read = child && fscanf(child, "%lld %lld %lf", &before, &peak, &arrays) == 3;
    const int status = child ? pclose(child) : -1;
    if (!read || status != 0) {
        printf("peak memory (%s): not measured\n", which);
        return;
    }
    const double mb = 1024.0 * 1024.0;
    const double used = double(peak - before);
    const double budget = arrays + fileBytes + 20 * mb;
    printf("peak memory while loading (%s): %.1f MB above the process before the load; budget "
           "%.1f MB (arrays %.1f + file %.1f + 20) %s\n",
           which, used / mb, budget / mb, arrays / mb, fileBytes / mb,
           used <= budget ? "met" : "MISSED");
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && strcmp(argv[1], "--peak-memory") == 0) {
        return measureOneLoad(argv[2], argv[3]);
    }
    benchmark::Initialize(&argc, argv);
    const std::string dir = makeScratchDir("skarn-mesh-bench-");
    if (dir.empty()) {
        fprintf(stderr, "mesh_read_bench: no scratch directory\n");
        return 1;
    }
    meshPath = dir + "/terrain.msh";
    {
        const Mesh terrain = terrainMesh(GRID_SIDE, GRID_SIDE, -500, -500, 1000, 1000, 40, 7);
        if (!writeMeshFile(meshPath, terrain, "sol.jpg")) {
            fprintf(stderr, "mesh_read_bench: can't write %s\n", meshPath.c_str());
            removeScratchDir(dir);
            return 1;
        }
    }
    struct stat info;
    stat(meshPath.c_str(), &info);
    fileBytes = double(info.st_size);
    printf("generated mesh: %d vertices, %d textured faces, %.1f MB of text\n",
           GRID_SIDE * GRID_SIDE, 2 * (GRID_SIDE - 1) * (GRID_SIDE - 1), fileBytes / 1048576.0);

    benchmark::RegisterBenchmark("meshRead/shipped", readBenchmark, true)
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("meshRead/fscanf", readBenchmark, false)
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();

    const double mb = 1048576.0;
    for (const char* name : {"shipped", "fscanf"}) {
        const double seconds = recordedSeconds(name);
        if (seconds > 0) {
            printf("mesh reading (%s): %.0f MB/s%s\n", name, fileBytes / mb / seconds,
                   strcmp(name, "shipped") == 0
                       ? (fileBytes / mb / seconds >= 150 ? " (goal: at least 150 MB/s) met"
                                                          : " (goal: at least 150 MB/s) MISSED")
                       : "");
        }
    }
    printSpeedRatio("mesh reading, shipped against fscanf", "shipped", "fscanf", 10);
    // Processor time of both threads: the work done, not a goal (the goal is on elapsed time).
    printSpeedRatio("mesh reading, processor time of all threads", "shipped-cpu", "fscanf-cpu", 0);
    {
        Mesh a, b;
        const bool same =
            shippedRead(meshPath, a) && baselineRead(meshPath, b) && sameRecords(a, b);
        printf("both readers give the same record: %s\n", same ? "yes" : "NO");
    }
    printPeakMemory("shipped");
    removeScratchDir(dir);
    benchmark::Shutdown();
    return 0;
}
