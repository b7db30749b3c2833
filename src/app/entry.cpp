// The process entry: command line, window, start-up in order, main loop.
#include "app/entry.h"

#include <GL/freeglut.h>
#include <cstdio>
#include <cstdlib>

#include "render/render_settings.h"
#include "app/show.h"
#include "app/window.h"
#include "render/mesh_lists.h"
#include "render/scene_upload.h"
#include "scene/map.h"
#include "render/texture.h"

// A load the show can't go on without: its message on standard error after what standard output
// holds, then the end of the process with its status.
static void endOnFailure(const LoadResult& result) {
    if (!result.ok) {
        fflush(stdout);
        fprintf(stderr, "%s\n", result.message.c_str());
        exit(result.status);
    }
}

MapReport startPlayerShow(const char* mapName) {
    if (const char* problem = initImageLibrary()) {
        printf("%s", problem);
        fflush(stdout);
        exit(1);
    }
    startShow();
    initGLState();
    MapReport report;
    endOnFailure(loadMap(mapName, sceneUploadHooks(), report));
    // World and object meshes never change after the load: record their drawing once.
    compileMeshLists();
    applyMapReport(report);
    return report;
}

int runSkarn(int argc, char** argv) {
    // Console lines reach a pipe as they are printed, not at exit.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc != 2) {
        printf("skarn nom_map\n");
        return 0;
    }
    initWindow(argc, argv);
    startPlayerShow(argv[1]);
    glutMainLoop();
    return 0;
}
