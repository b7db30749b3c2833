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

// A load the show can't go on without: its message on standard error after what standard output
// holds, then the end of the process with its status.
static void endOnFailure(const LoadResult& result) {
    if (!result.ok) {
        fflush(stdout);
        fprintf(stderr, "%s\n", result.message.c_str());
        exit(result.status);
    }
}

MapReport startPlayerShow(const char* mapName, const SceneLoadHooks* hooks) {
    if (const char* problem = initImageLibrary()) {
        printf("%s", problem);
        fflush(stdout);
        exit(1);
    }
    startShow();
    initGLState();
    MapReport report;
    endOnFailure(loadMap(mapName, hooks ? *hooks : sceneUploadHooks(), report));
    // World and object meshes never change after the load: record their drawing once.
    compileMeshLists();
    applyMapReport(report);
    return report;
}

// The show with authoring options: the toolkit sees the program and the map name only.
static int runAuthoring(char* program, const AuthorOptions& options) {
    char* toolkitArgs[] = {program, const_cast<char*>(options.mapName.c_str()), nullptr};
    if (!initWindow(2, toolkitArgs)) {
        fputs(USAGE_TEXT, stdout);
        return 1;
    }
    const SceneLoadHooks hooks = reloadHooks();
    MapReport report = startPlayerShow(options.mapName.c_str(), &hooks);
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
    startPlayerShow(argv[1]);
    glutMainLoop();
    return 0;
}
