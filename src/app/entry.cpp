// The process entry: command line, window, start-up in order, main loop.
#include "app/entry.h"

#include <GL/freeglut.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "app/author.h"
#include "app/command_line.h"
#include "app/console.h"
#include "app/reload.h"
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

LoadResult startPlayerShow(const char* mapName, MapReport& report, const SceneLoadHooks* hooks) {
    if (const char* problem = initImageLibrary()) {
        printf("%s", problem); // the console's own line: no message for standard error
        return loadFailure("", 1);
    }
    startShow();
    initGLState();
    LoadResult loaded = loadMap(mapName, hooks ? *hooks : sceneUploadHooks(), report);
    if (!loaded.ok) {
        return loaded;
    }
    // World and object meshes never change after the load: record their drawing once.
    compileMeshLists();
    applyMapReport(report);
    return loaded;
}

// The show with authoring options: the toolkit sees the program and the map name only.
static int runAuthoring(char* program, const AuthorOptions& options) {
    char* toolkitArgs[] = {program, const_cast<char*>(options.mapName.c_str()), nullptr};
    if (!initWindow(2, toolkitArgs)) {
        fputs(USAGE_TEXT, stdout);
        return 1;
    }
    const SceneLoadHooks hooks = reloadHooks();
    MapReport report;
    LoadResult started = startPlayerShow(options.mapName.c_str(), report, &hooks);
    if (!started.ok) {
        return endStart(started);
    }
    adoptLoadedPictures();
    startAuthoring(options, report);
    glutMainLoop();
    return 0;
}

int runSkarn(int argc, char** argv) {
    // Console lines reach a pipe as they are printed, not at exit.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    setUpConsole();
    // The console is only a log: a reader that closed its end (skarn demo | head -1) must not end
    // the show. A lost display is told by the toolkit's connection, not by this signal.
    signal(SIGPIPE, SIG_IGN);
    AuthorOptions author;
    switch (argc > 2 ? parseAuthorOptions(argc, argv, author) : AUTHOR_NONE) {
    case AUTHOR_BAD:
        fputs(USAGE_TEXT, stdout);
        return 1;
    case AUTHOR_RUN:
        return runAuthoring(argv[0], author);
    case AUTHOR_NONE:
        break;
    }
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
