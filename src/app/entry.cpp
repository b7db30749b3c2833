// The process entry: command line, window, start-up in order, main loop.
#include "app/entry.h"

#include <GL/freeglut.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "app/command_line.h"
#include "app/console.h"
#include "render/render_settings.h"
#include "app/show.h"
#include "app/window.h"
#include "render/mesh_lists.h"
#include "render/scene_upload.h"
#include "scene/map.h"
#include "render/texture.h"

int endStart(const LoadResult& result) {
    fflush(stdout);
    if (!result.message.empty()) {
        fprintf(stderr, "%s\n", result.message.c_str());
    }
    return result.status;
}

LoadResult startPlayerShow(const char* mapName, MapReport& report) {
    if (const char* problem = initImageLibrary()) {
        printf("%s", problem); // the console's own line: no message for standard error
        return loadFailure("", 1);
    }
    startShow();
    initGLState();
    LoadResult loaded = loadMap(mapName, sceneUploadHooks(), report);
    if (!loaded.ok) {
        return loaded;
    }
    // World and object meshes never change after the load: record their drawing once.
    compileMeshLists();
    applyMapReport(report);
    return loaded;
}

int runSkarn(int argc, char** argv) {
    // Console lines reach a pipe as they are printed, not at exit.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    setUpConsole();
    // The console is only a log: a reader that closed its end (skarn demo | head -1) must not end
    // the show. A lost display is told by the toolkit's connection, not by this signal.
    signal(SIGPIPE, SIG_IGN);
    if (const char* text = commandLineText(argc, argv)) {
        fputs(text, stdout);
        return 0;
    }
    // A toolkit option alone ("-iconic") is taken by the toolkit: no map name is left.
    if (!initWindow(argc, argv)) {
        fputs(USAGE_TEXT, stdout);
        return 0;
    }
    MapReport report;
    LoadResult started = startPlayerShow(argv[1], report);
    if (!started.ok) {
        return endStart(started);
    }
    glutMainLoop();
    return 0;
}
