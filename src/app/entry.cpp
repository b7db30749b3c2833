// The process entry: command line, window, start-up in order, main loop.
#include "app/entry.h"

#include <GL/freeglut.h>
#include <cstdio>

#include "app/settings.h"
#include "app/show.h"
#include "app/window.h"
#include "render/mesh_lists.h"
#include "scene/map.h"
#include "scene/texture.h"

int runSkarn(int argc, char** argv) {
    // Console lines reach a pipe as they are printed, not at exit.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    if (argc != 2) {
        printf("skarn nom_map\n");
        return 0;
    }
    initWindow(argc, argv);
    initImageLibrary();
    startShow();
    initGLState();
    MapReport report = loadMap(argv[1]);
    // World and object meshes never change after the load: record their drawing once.
    compileMeshLists();
    applyMapReport(report);
    glutMainLoop();
    return 0;
}
