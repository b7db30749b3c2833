// The scene frame of a large generated map (world meshes of 500,000 triangles, five trees of
// 5,000 faces, four objects, one emitting particles): milliseconds per frame with the world and
// object meshes in display lists, against the same frames drawn vertex by vertex.
#include <GL/freeglut.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "render/render_settings.h"
#include "bench_support.h"
#include "mesh_maker.h"
#include "path/camera.h"
#include "render/camera_view.h"
#include "render/frame.h"
#include "render/mesh_lists.h"
#include "render/particles.h"
#include "render/skybox.h"
#include "scene/scene_state.h"
#include "render/texture.h"
#include "scene/picture_check.h"

namespace {

const int TILE_CELLS_ACROSS = 250; // 250 x 200 cells, two triangles each: 100,000 per tile
const int TILE_CELLS_ALONG = 200;
const int TREE_FACES = 5000;

// Five terrain tiles in a cross, three textured; five trees; four objects, the first emitting.
void buildLargeScene() {
    const unsigned int ground = loadPictureTexture("textures/sol.jpg");
    const unsigned int rock = loadPictureTexture("textures/rocher.jpg");
    const unsigned int leaves = loadPictureTexture("textures/sapin.tga");
    const unsigned int plane = loadPictureTexture("textures/avion.jpg");
    const float w = 120, d = 96;
    const struct {
        float x, z;
        unsigned int texture;
    } tiles[5] = {{-w / 2, -d / 2, ground},
                  {-w / 2, -d / 2 - d, rock},
                  {-w / 2, d / 2, ground},
                  {-w / 2 - w, -d / 2, 0},
                  {w / 2, -d / 2, 0}};
    worldList.clear();
    for (int i = 0; i < 5; i++) {
        Mesh tile = terrainMesh(TILE_CELLS_ACROSS + 1, TILE_CELLS_ALONG + 1, tiles[i].x, tiles[i].z,
                                w, d, 6, 11u + unsigned(i));
        tile.textured = tiles[i].texture != 0 ? 1 : 0;
        tile.texture = tiles[i].texture;
        tile.color = {0.3f + 0.1f * float(i), 0.5f, 0.3f};
        worldList.push_back(std::move(tile));
    }
    treeList.clear();
    for (int i = 0; i < 5; i++) {
        const float angle = 1.2566f * float(i);
        Mesh tree = leafMesh(TREE_FACES, {40 * std::cos(angle), 12, 40 * std::sin(angle)}, 6,
                             100u + unsigned(i));
        tree.textured = 1;
        tree.texture = leaves;
        sizeWorkArrays(tree);
        treeList.push_back(std::move(tree));
    }
    objectList.clear();
    for (int i = 0; i < 4; i++) {
        SceneObject object;
        object.mesh = terrainMesh(21, 21, -4, -4, 8, 8, 1, 200u + unsigned(i));
        object.mesh.textured = 1;
        object.mesh.texture = plane;
        object.mesh.emitsParticles = i == 0 ? 1 : 0;
        objectList.push_back(std::move(object));
    }
}

// Camera and objects for frame k. Flight: the camera flies low through the map looking ahead,
// as a show's camera path does. Overview: it circles high above, every world triangle in view.
void placeForFrame(int k, bool overview) {
    const float t = 0.02f * float(k);
    if (overview) {
        camera.cameraPath.position = {110 * std::cos(t), 45, 110 * std::sin(t)};
        camera.cameraPath.target = {0, 0, 0};
    } else {
        camera.cameraPath.position = {70 * std::cos(t), 14, 70 * std::sin(t)};
        camera.cameraPath.target = {70 * std::cos(t + 0.4f), 8, 70 * std::sin(t + 0.4f)};
    }
    applyPathCamera();
    for (size_t i = 0; i < objectList.size(); i++) {
        SceneObject& object = objectList[i];
        const float a = t * (1 + 0.3f * float(i)) + float(i);
        object.previousPosition = object.path.position;
        object.path.position = {30 * std::cos(a), 20 + 3 * float(i), 30 * std::sin(a)};
        object.path.target = {10 * float(i), 0, 57.3f * a};
        const Vec3& was = object.previousPosition;
        object.motionDelta = {was.x - object.path.position.x, was.y - object.path.position.y,
                                   was.z - object.path.position.z};
    }
}

ShowClock sceneClock() {
    ShowClock clock;
    clock.now = 95; // scene phase, particles on
    clock.logoEnd = 10;
    clock.introEnd = 25;
    clock.particleStart = 88;
    clock.sceneEnd = 122;
    clock.showEnd = 140;
    clock.shownFps = 60;
    return clock;
}

// Frames drawn, swapped and finished one by one; the frame index restarts for each way.
void frames(benchmark::State& state, bool lists, bool overview, const std::string& name) {
    if (lists) {
        compileMeshLists();
    } else {
        releaseMeshLists();
    }
    const ShowClock clock = sceneClock();
    const MeshListCounts countsBefore = meshListCounts;
    int k = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        placeForFrame(k++, overview);
        drawSceneFrame(clock);
        glutSwapBuffers();
        glFinish();
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    recordSeconds(name, seconds / double(state.iterations()));
    state.counters["triangles"] = 500000 + 5 * TREE_FACES + 4 * 800;
    const double drawn = double(meshListCounts.partsDrawn - countsBefore.partsDrawn);
    const double skipped = double(meshListCounts.partsSkipped - countsBefore.partsSkipped);
    if (drawn + skipped > 0) {
        state.counters["partsInView"] = drawn / (drawn + skipped);
    }
}

} // namespace

int main(int argc, char** argv) {
    // --small-viewport draws into 64 x 38 pixels: the same triangles with almost no pixels to
    // fill, which shows how much of a frame is the rasteriser's per-pixel work.
    bool smallViewport = false;
    if (argc > 1 && strcmp(argv[argc - 1], "--small-viewport") == 0) {
        smallViewport = true;
        argc -= 1;
    }
    benchmark::Initialize(&argc, argv);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(640, 480);
    glutInitWindowPosition(0, 0);
    glutCreateWindow("frame-bench");
    if (chdir(SKARN_SOURCE_DIR) != 0) {
        perror(SKARN_SOURCE_DIR);
        return 1;
    }
    (void)initImageLibrary(); // this machine's library passes the version check
    initGLState();
    loadSkyBox();
    initParticles(particleSystem, 0, 0, 0, 0, 200, 0, 1);
    if (smallViewport) {
        glViewport(0, 50, 64, 38);
        printf("viewport: 64 x 38 (--small-viewport)\n");
    } else {
        glViewport(0, 50, 640, 380); // the letterboxed viewport of the player
    }
    buildLargeScene();
    printf("renderer: %s\n", (const char*)glGetString(GL_RENDERER));

    const auto start = std::chrono::steady_clock::now();
    compileMeshLists();
    glFinish();
    const double compileSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("compiling the lists of 5 world and 4 object meshes: %.0f ms\n", compileSeconds * 1e3);

    for (const bool overview : {false, true}) {
        const std::string view = overview ? "/overview" : "/flight";
        benchmark::RegisterBenchmark(("sceneFrame/immediate" + view).c_str(), frames, false,
                                     overview, "immediate" + view)
            ->Iterations(20)
            ->MeasureProcessCPUTime()
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("sceneFrame/displayLists" + view).c_str(), frames, true,
                                     overview, "lists" + view)
            ->Iterations(40)
            ->MeasureProcessCPUTime()
            ->Unit(benchmark::kMillisecond);
    }
    // What the frame costs besides the world meshes: sky, objects, trees, particles and text.
    benchmark::RegisterBenchmark("sceneFrame/withoutWorld/flight",
                                 [](benchmark::State& state) {
                                     std::vector<Mesh> world;
                                     world.swap(worldList);
                                     frames(state, true, false, "withoutWorld");
                                     world.swap(worldList);
                                 })
        ->Iterations(40)
        ->MeasureProcessCPUTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RunSpecifiedBenchmarks();
    const double goal = smallViewport ? 0 : 3; // the goal is for the player's own viewport
    printSpeedRatio("scene frame, flight through the map: display lists against immediate mode",
                    "lists/flight", "immediate/flight", goal);
    printSpeedRatio("scene frame, whole map in view: display lists against immediate mode",
                    "lists/overview", "immediate/overview", goal);
    benchmark::Shutdown();
    return 0;
}
