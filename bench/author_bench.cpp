// The authoring mode on the demo: a seek (simulation only, no drawing) to moments of the scene, a
// save of a mesh to the first frame that shows it (watch, quiet period, reload, seek, frame), and
// the heap after 100 reloads against after one. Needs a display; works on a scratch copy of the
// demo map (the pictures and music are the repository's, by symbolic links).
#include <GL/freeglut.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/clock.h"
#include "app/reload.h"
#include "base/file_watch.h"
#include "render/frame.h"
#include "render/mesh_lists.h"
#include "render/particles.h"
#include "render/render_settings.h"
#include "render/scene_upload.h"
#include "render/show_step.h"
#include "render/texture.h"
#include "scene/scene_state.h"

namespace {

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

int64_t steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void seekTo(int ms) {
    rewindScene();
    simulateShowTo(showClock, frameCounter, ms, SHOW_STEP_FPS, true);
}

size_t heapBytes() {
    return mallinfo2().uordblks;
}

// The demo's plane mesh, every vertex moved up a little more each save.
void savePlane(const std::string& original, int save) {
    FILE* in = fopen(original.c_str(), "rb");
    std::string text;
    char buffer[65536];
    for (size_t n; in && (n = fread(buffer, 1, sizeof buffer, in)) > 0;) {
        text.append(buffer, n);
    }
    if (in) {
        fclose(in);
    }
    text += "\n"; // a change of size and time is what the watch sees
    text.append(size_t(save % 7), ' ');
    FILE* out = fopen("map/demo/avion.msh.tmp", "wb");
    fwrite(text.data(), 1, text.size(), out);
    fclose(out);
    rename("map/demo/avion.msh.tmp", "map/demo/avion.msh");
}

} // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(640, 480);
    glutCreateWindow("author-bench");
    char scratch[] = "/tmp/skarn-author-bench-XXXXXX";
    if (mkdtemp(scratch) == nullptr) {
        perror("mkdtemp");
        return 1;
    }
    const std::string source = SKARN_SOURCE_DIR;
    const std::string setup = "mkdir -p '" + std::string(scratch) + "/map' && cp -r '" + source +
                              "/map/demo' '" + scratch + "/map/' && ln -s '" + source +
                              "/textures' '" + source + "/media' '" + scratch + "/'";
    if (system(setup.c_str()) != 0 || chdir(scratch) != 0) {
        fprintf(stderr, "cannot make the scratch map in %s\n", scratch);
        return 1;
    }
    (void)initImageLibrary();
    initGLState();
    initParticles(particleSystem, 0, 0, 0, 0, 200, 0, 1);
    glViewport(0, 50, 640, 380);
    MapReport report;
    fflush(stdout);
    (void)!freopen("/dev/null", "w",
                   stdout); // the load log, again and again: the figures go to stderr
    if (!loadMap("demo", reloadHooks(), report).ok) {
        return 1;
    }
    adoptLoadedPictures();
    compileMeshLists();
    markSceneStart();
    showClock.showStart = 0;
    setEventTimes(showClock);

    std::vector<double> seeks;
    for (int target : {30000, 60000, 100000, 121900}) {
        const auto start = std::chrono::steady_clock::now();
        seekTo(target);
        seeks.push_back(msSince(start));
    }

    // Save to frame: the watch's quiet period, the reload, the seek back, one frame drawn.
    FileWatch watch;
    startFileWatch(watch, {"map/demo/"}, false);
    std::vector<double> saves;
    std::string error;
    for (int save = 0; save < 7; save++) {
        const auto start = std::chrono::steady_clock::now();
        savePlane(source + "/map/demo/avion.msh", save);
        while (!fileWatchSettled(watch, steadyMs(), 100)) {
            usleep(1000);
        }
        if (!reloadMap("demo", report, error)) {
            fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
        markSceneStart();
        seekTo(60000);
        drawSceneFrame(showClock);
        glutSwapBuffers();
        glFinish();
        saves.push_back(msSince(start));
    }
    stopFileWatch(watch);

    // The heap after one reload, then after a hundred.
    reloadMap("demo", report, error);
    const size_t afterOne = heapBytes();
    for (int i = 1; i < 100; i++) {
        reloadMap("demo", report, error);
    }
    const size_t afterHundred = heapBytes();
    std::sort(saves.begin(), saves.end());
    fprintf(stderr,
            "seek to 30, 60, 100, 121.9 s: %.1f %.1f %.1f %.1f ms (goal < 100)\n"
            "save of avion.msh to its first frame: median %.0f ms, worst %.0f ms (goal < 300; "
            "100 ms of it is the quiet period)\n"
            "heap after 1 reload %.2f MB, after 100 %.2f MB: %+.2f %% (goal within 5 %%)\n",
            seeks[0], seeks[1], seeks[2], seeks[3], saves[saves.size() / 2], saves.back(),
            afterOne / 1e6, afterHundred / 1e6, 100.0 * (double(afterHundred) / afterOne - 1.0));
    (void)!system(("rm -rf '" + std::string(scratch) + "'").c_str());
    return 0;
}
