// The importer on generated terrains of 1 and 2 million triangles, written as a binary glTF
// and as an OBJ (positions, normals, uv): processor time of the whole import against the
// 1.5 s goal for a million, split by stage (reading, converting, writing), the 2M/1M ratio
// (linear: about 2) and the scene reader's peak memory against the file (goal: under 3x).
// Then the written mesh read by the player's reader against a hand-made mesh file of the same
// terrain, and the player's start-up to its first frame on both maps (needs a display).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "bench_support.h"
#include "first_frame.h"
#include "import/import_run.h"
#include "import/import_work.h"
#include "mesh_maker.h"
#include "scene/mesh_file.h"

namespace {

const int ACROSS = 1001, ALONG = 501; // 1000 x 500 cells, two triangles each
std::string scratchDir;

// The terrain as an OBJ with its material library naming sol.jpg.
bool writeTerrainObj(const std::string& path, const Mesh& terrain) {
    std::string text = "mtllib " + std::filesystem::path(path).stem().string() + ".mtl\n";
    char line[128];
    for (int v = 0; v < terrain.vertexCount; v++) {
        const Vec3 &p = terrain.vertices[v], &n = terrain.normals[v];
        snprintf(line, sizeof line, "v %g %g %g\nvn %.4g %.4g %.4g\nvt %g %g\n", p.x, p.y, p.z, n.x,
                 n.y, n.z, float(v % ACROSS) / 8, float(v / ACROSS) / 8);
        text += line;
    }
    text += "usemtl ground\n";
    for (int f = 0; f < terrain.faceCount; f++) {
        const int* c = &terrain.faces[3 * f];
        snprintf(line, sizeof line, "f %d/%d/%d %d/%d/%d %d/%d/%d\n", c[0] + 1, c[0] + 1, c[0] + 1,
                 c[1] + 1, c[1] + 1, c[1] + 1, c[2] + 1, c[2] + 1, c[2] + 1);
        text += line;
    }
    std::ofstream(std::filesystem::path(path).replace_extension(".mtl"))
        << "newmtl ground\nmap_Kd sol.jpg\n";
    std::ofstream out(path, std::ios::binary);
    out << text;
    return bool(out);
}

double processorSeconds() {
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec * 1e-9;
}

double childrenSeconds(const rusage& u) {
    return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) * 1e-6;
}

// One scene imported twice: through skarn-import's own path (the reader's child: its processor
// time and peak memory), and its work run here with the stages timed on this process's clock.
void reportImport(const std::string& label, const std::string& scene) {
    // skarn-import itself, from a process of its own: the peak of that process's children is
    // the importer's or its reader's, whichever is larger, and their processor time is theirs.
    int back[2];
    double figures[3] = {-1, 0, 0}; // processor seconds, peak MB, file MB
    if (pipe(back) != 0)
        return;
    fflush(nullptr);
    if (fork() == 0) {
        pid_t importer = fork();
        if (importer == 0) {
            // SKARN_IMPORT_BIN measures another build of the importer (an older one, say).
            const char* program =
                getenv("SKARN_IMPORT_BIN") ? getenv("SKARN_IMPORT_BIN") : SKARN_IMPORTER;
            const char* args[] = {program, "--force", scene.c_str(), "report", nullptr};
            if (chdir(scratchDir.c_str()) == 0 && freopen("/dev/null", "w", stdout))
                execv(program, (char**)args);
            _exit(127);
        }
        int status = 1;
        waitpid(importer, &status, 0);
        rusage u;
        getrusage(RUSAGE_CHILDREN, &u);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
            figures[0] = childrenSeconds(u);
            figures[1] = u.ru_maxrss / 1024.0;
        }
        figures[2] = std::filesystem::file_size(scene) / 1048576.0;
        (void)!write(back[1], figures, sizeof figures);
        _exit(0);
    }
    close(back[1]);
    (void)!read(back[0], figures, sizeof figures);
    close(back[0]);
    wait(nullptr);
    if (figures[0] < 0) {
        printf("%s: the import failed\n", label.c_str());
        return;
    }
    double total = figures[0], peakMB = figures[1], fileMB = figures[2];
    int ends[2];
    if (pipe(ends) != 0)
        return;
    std::vector<double> marks; // processor seconds at each stage's start and at the end
    std::thread listener([&] {
        char header[5];
        while (read(ends[0], header, 5) == 5) {
            uint32_t length;
            memcpy(&length, header + 1, 4);
            std::string text(length, ' ');
            if (length && read(ends[0], &text[0], length) != (ssize_t)length)
                break;
            if (header[0] == WORK_STAGE || header[0] == WORK_DONE)
                marks.push_back(processorSeconds());
        }
    });
    ImportRequest request;
    request.sceneFile = scene;
    request.mapName = "report";
    request.force = true;
    request.root = scratchDir;
    WorkFolders folders{scratchDir + "/work-map", scratchDir + "/textures/.work",
                        scratchDir + "/textures"};
    std::filesystem::create_directories(folders.scratch);
    std::filesystem::create_directories(folders.staging);
    importWork(request, folders, importLimits(), ends[1]);
    close(ends[1]);
    listener.join();
    close(ends[0]);
    std::filesystem::remove_all(folders.scratch);
    std::filesystem::remove_all(folders.staging);
    printf("%-8s file %6.1f MB  processor %5.2f s", label.c_str(), fileMB, total);
    if (marks.size() == 4)
        printf(" (read %.2f, convert %.2f, write %.2f)", marks[1] - marks[0], marks[2] - marks[1],
               marks[3] - marks[2]);
    printf("  peak %5.0f MB = %.1fx the file\n", peakMB, peakMB / fileMB);
    recordSeconds("import " + label, total);
}

void putChunk(std::ofstream& out, uint32_t type, const std::string& bytes) {
    uint32_t header[2] = {(uint32_t)bytes.size(), type};
    out.write((const char*)header, 8);
    out.write(bytes.data(), (std::streamsize)bytes.size());
}

template <typename T> void putArray(std::string& blob, const std::vector<T>& values) {
    blob.append((const char*)values.data(), values.size() * sizeof(T));
}

// The terrain as a binary glTF: one node, one mesh, per-vertex uv repeating every 8 cells,
// the picture sol.jpg beside it.
bool writeTerrainGlb(const std::string& path, const Mesh& terrain) {
    std::vector<float> positions, normals, uv;
    for (int v = 0; v < terrain.vertexCount; v++) {
        positions.insert(positions.end(),
                         {terrain.vertices[v].x, terrain.vertices[v].y, terrain.vertices[v].z});
        normals.insert(normals.end(),
                       {terrain.normals[v].x, terrain.normals[v].y, terrain.normals[v].z});
        uv.insert(uv.end(), {float(v % ACROSS) / 8, float(v / ACROSS) / 8});
    }
    std::vector<uint32_t> indices(terrain.faces.begin(), terrain.faces.end());
    std::string blob;
    size_t offsets[4];
    offsets[0] = blob.size(), putArray(blob, positions);
    offsets[1] = blob.size(), putArray(blob, normals);
    offsets[2] = blob.size(), putArray(blob, uv);
    offsets[3] = blob.size(), putArray(blob, indices);
    float low[3] = {1e30f, 1e30f, 1e30f}, high[3] = {-1e30f, -1e30f, -1e30f};
    for (size_t i = 0; i < positions.size(); i++) {
        low[i % 3] = std::fmin(low[i % 3], positions[i]);
        high[i % 3] = std::fmax(high[i % 3], positions[i]);
    }
    char json[4096];
    snprintf(json, sizeof json,
             "{\"asset\":{\"version\":\"2.0\"},\"scene\":0,\"scenes\":[{\"nodes\":[0]}],"
             "\"nodes\":[{\"name\":\"terrain\",\"mesh\":0}],\"meshes\":[{\"primitives\":[{"
             "\"attributes\":{\"POSITION\":0,\"NORMAL\":1,\"TEXCOORD_0\":2},\"indices\":3,"
             "\"material\":0}]}],\"materials\":[{\"pbrMetallicRoughness\":{\"baseColorTexture\":"
             "{\"index\":0}}}],\"textures\":[{\"source\":0}],\"images\":[{\"uri\":\"sol.jpg\"}],"
             "\"buffers\":[{\"byteLength\":%zu}],\"bufferViews\":["
             "{\"buffer\":0,\"byteOffset\":%zu,\"byteLength\":%zu},"
             "{\"buffer\":0,\"byteOffset\":%zu,\"byteLength\":%zu},"
             "{\"buffer\":0,\"byteOffset\":%zu,\"byteLength\":%zu},"
             "{\"buffer\":0,\"byteOffset\":%zu,\"byteLength\":%zu}],\"accessors\":["
             "{\"bufferView\":0,\"componentType\":5126,\"count\":%d,\"type\":\"VEC3\","
             "\"min\":[%g,%g,%g],\"max\":[%g,%g,%g]},"
             "{\"bufferView\":1,\"componentType\":5126,\"count\":%d,\"type\":\"VEC3\"},"
             "{\"bufferView\":2,\"componentType\":5126,\"count\":%d,\"type\":\"VEC2\"},"
             "{\"bufferView\":3,\"componentType\":5125,\"count\":%zu,\"type\":\"SCALAR\"}]}",
             blob.size(), offsets[0], offsets[1] - offsets[0], offsets[1], offsets[2] - offsets[1],
             offsets[2], offsets[3] - offsets[2], offsets[3], blob.size() - offsets[3],
             terrain.vertexCount, low[0], low[1], low[2], high[0], high[1], high[2],
             terrain.vertexCount, terrain.vertexCount, indices.size());
    std::string text = json;
    text.append((4 - text.size() % 4) % 4, ' ');
    std::ofstream out(path, std::ios::binary);
    uint32_t header[3] = {0x46546C67, 2, (uint32_t)(12 + 8 + text.size() + 8 + blob.size())};
    out.write((const char*)header, 12);
    putChunk(out, 0x4E4F534A, text);
    putChunk(out, 0x004E4942, blob);
    return bool(out);
}

void importTerrain(benchmark::State& state) {
    for (auto _ : state) {
        ImportRequest request;
        request.sceneFile = scratchDir + "/terrain.glb";
        request.mapName = "imported";
        request.force = true;
        request.root = scratchDir;
        std::vector<std::string> lines;
        std::string error;
        if (importScene(request, lines, error) != 0) {
            state.SkipWithError(error.c_str());
            return;
        }
    }
}

// The imported map once, and the same map with the hand-made terrain in place of the imported
// one, with the show's pictures and music; false when a step fails.
bool writeMaps() {
    namespace fs = std::filesystem;
    ImportRequest request;
    request.sceneFile = scratchDir + "/terrain.glb";
    request.mapName = "imported";
    request.root = scratchDir;
    std::vector<std::string> lines;
    std::string error;
    if (importScene(request, lines, error) != 0) {
        fprintf(stderr, "import_bench: %s\n", error.c_str());
        return false;
    }
    const fs::path root = SKARN_SOURCE_DIR, map = fs::path(scratchDir) / "map";
    std::error_code e;
    fs::copy(root / "textures", fs::path(scratchDir) / "textures",
             fs::copy_options::recursive | fs::copy_options::skip_existing, e);
    fs::create_directories(fs::path(scratchDir) / "media", e);
    fs::copy(root / "media" / "musique.mp3", fs::path(scratchDir) / "media" / "musique.mp3", e);
    for (const fs::directory_entry& entry : fs::directory_iterator(map / "imported", e)) {
        const std::string name = entry.path().filename().string();
        if (name != "terrain.msh") {
            fs::copy(entry.path(),
                     map / "handmade" / (name == "imported.mde" ? "handmade.mde" : name),
                     fs::copy_options::overwrite_existing, e);
        }
    }
    return !e;
}

void startup(benchmark::State& state, const std::string& mapName) {
    double total = 0;
    for (auto _ : state) {
        const double seconds = timeFirstFrame(SKARN_PLAYER, FIRST_FRAME_PROBE,
                                              scratchDir + "/first-frame", scratchDir, mapName);
        if (seconds < 0) {
            state.SkipWithError("no frame presented");
            return;
        }
        state.SetIterationTime(seconds);
        total += seconds;
    }
    recordSeconds(mapName, total / double(state.iterations()));
}

void readMesh(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        TextReader reader;
        Mesh mesh;
        std::string texture;
        if (readerOpen(reader, path) != 0 || !parseMesh(reader, mesh, texture)) {
            state.SkipWithError("the mesh did not read");
            return;
        }
        benchmark::DoNotOptimize(mesh.faceCount);
    }
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    scratchDir = makeScratchDir("skarn-import-bench-");
    const Mesh terrain = terrainMesh(ACROSS, ALONG, -140, -70, 280, 140, 6, 7u);
    std::filesystem::create_directories(scratchDir + "/map/handmade");
    if (scratchDir.empty() || !writeTerrainGlb(scratchDir + "/terrain.glb", terrain) ||
        !writeMeshFile(scratchDir + "/map/handmade/terrain.msh", terrain, "sol.jpg")) {
        fprintf(stderr, "import_bench: can't write the scenes\n");
        return 1;
    }
    std::error_code copyError;
    std::filesystem::copy_file(std::string(SKARN_SOURCE_DIR) + "/textures/sol.jpg",
                               scratchDir + "/sol.jpg", copyError);
    printf("generated scene: %d triangles, %d vertices\n", terrain.faceCount, terrain.vertexCount);
    if (!writeMaps()) {
        return 1;
    }
    {
        const Mesh twice = terrainMesh(ACROSS, 2 * ALONG - 1, -140, -140, 280, 280, 6, 7u);
        if (!writeTerrainObj(scratchDir + "/terrain.obj", terrain) ||
            !writeTerrainGlb(scratchDir + "/terrain2.glb", twice) ||
            !writeTerrainObj(scratchDir + "/terrain2.obj", twice)) {
            fprintf(stderr, "import_bench: can't write the scenes\n");
            return 1;
        }
    }
    printf("whole import, goal 1M triangles under 1.5 s of processor time, 2M in about twice:\n");
    for (const char* format : {"glb", "obj"}) {
        reportImport(std::string(format) + " 1M", scratchDir + "/terrain." + format);
        reportImport(std::string(format) + " 2M", scratchDir + "/terrain2." + format);
        printf("%s 2M/1M: %.2f\n", format,
               recordedSeconds(std::string("import ") + format + " 2M") /
                   recordedSeconds(std::string("import ") + format + " 1M"));
    }
    benchmark::RegisterBenchmark("import/1M-triangles", importTerrain)
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("read/imported", readMesh,
                                 scratchDir + "/map/imported/terrain.msh")
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("read/handmade", readMesh,
                                 scratchDir + "/map/handmade/terrain.msh")
        ->Iterations(5)
        ->Unit(benchmark::kMillisecond);
    if (getenv("DISPLAY")) {
        for (const char* name : {"imported", "handmade"}) {
            benchmark::RegisterBenchmark((std::string("startup/") + name).c_str(), startup,
                                         std::string(name))
                ->UseManualTime()
                ->Iterations(3)
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    if (recordedSeconds("imported") > 0) {
        printf("start-up to the first frame: imported map %.0f ms, hand-made map %.0f ms\n",
               recordedSeconds("imported") * 1e3, recordedSeconds("handmade") * 1e3);
    }
    for (const char* name : {"imported", "handmade"}) {
        std::error_code error;
        printf("%s mesh file: %.1f MB\n", name,
               std::filesystem::file_size(scratchDir + "/map/" + name + "/terrain.msh", error) /
                   1e6);
    }
    removeScratchDir(scratchDir);
    benchmark::Shutdown();
    return 0;
}
