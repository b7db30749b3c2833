// The authoring mode: starting time, pause and seeks, the time line, and the live reload.
#include "app/author.h"

#include <GL/freeglut.h>
#include <chrono>
#include <cstdio>
#include <unistd.h>

#include "app/clock.h"
#include "app/keys.h"
#include "app/reload.h"
#include "app/show.h"
#include "app/window.h"
#include "base/file_watch.h"
#include "base/show_files.h"
#include "render/frame.h"
#include "render/particles.h"
#include "render/show_step.h"
#include "render/time_line.h"
#include "sound/music.h"

#define AUTHOR_LAST_MS (SHOW_END * 1000 - 1) // the latest show time a seek lands on
#define AUTHOR_PAUSED_SLEEP_US 5000          // a held show does not spin the processor

//----------------------------------------------------------------------------------
// State
//----------------------------------------------------------------------------------
struct AuthorState {
    AuthorOptions options;
    MapReport report;    // the scene's, after the start-up or the last good reload
    bool paused = false; // the show is held at heldMs
    int heldMs = 0;      // show time of the held frame
    FileWatch watch;     // the folders of the map, the pictures and the music
    std::string problem; // the last failed reload's message, until the next good one
    std::string music;   // the music file's identity when it was opened
};

static AuthorState author; // written by this file only

//----------------------------------------------------------------------------------
// Time
//----------------------------------------------------------------------------------
static int64_t steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Show time now: the held frame's, or the running clock's.
static int currentMs() {
    return author.paused ? author.heldMs : readClockMs();
}

static int clampShowMs(int ms) {
    return ms < 0 ? 0 : (ms > AUTHOR_LAST_MS ? AUTHOR_LAST_MS : ms);
}

void seekShow(int ms) {
    ms = clampShowMs(ms);
    rewindScene();
    simulateShowTo(showClock, frameCounter, ms, SHOW_STEP_FPS, true);
    clockOffsetMs += ms - readClockMs();
    if (author.report.animatedCamera) {
        alignSceneStart(showClock, ms);
        runSceneIdle(ms); // the frame at ms itself, as the show's idle makes it
    }
    soundStreamStop(musicStream);
    soundStreamPlayFrom(musicStream, ms / 1000.0);
    if (author.paused) {
        soundStreamPause(musicStream, 1);
        author.heldMs = ms;
    }
    glutPostRedisplay();
}

static void setPaused(bool paused) {
    if (paused == author.paused) {
        return;
    }
    if (paused) {
        author.heldMs = showClock.lastTickMs; // the frame on screen
        printf("Pause %.3f s\n", author.heldMs / 1000.0);
    } else {
        clockOffsetMs += author.heldMs - readClockMs();
    }
    author.paused = paused;
    particlesHeld = paused;
    soundStreamPause(musicStream, paused ? 1 : 0);
    glutPostRedisplay();
}

// One fixed frame before or after the held one.
static void stepFrame(int frames) {
    int64_t frame = ((int64_t)author.heldMs * SHOW_STEP_FPS + 500) / 1000 + frames;
    seekShow(fixedStepMs(frame < 0 ? 0 : frame, SHOW_STEP_FPS));
}

//----------------------------------------------------------------------------------
// Callbacks
//----------------------------------------------------------------------------------
static void onAuthorKey(unsigned char key, int x, int y) {
    switch (key) {
    case ' ':
        setPaused(!author.paused);
        break;
    case '[':
        seekShow(currentMs() - 1000);
        break;
    case ']':
        seekShow(currentMs() + 1000);
        break;
    case '{':
        seekShow(currentMs() - 10000);
        break;
    case '}':
        seekShow(currentMs() + 10000);
        break;
    case ',':
    case '.':
        if (author.paused) {
            stepFrame(key == ',' ? -1 : 1);
        }
        break;
    case '0':
        seekShow(SHOW_INTRO_END * 1000);
        break;
    default:
        onKey(key, x, y);
    }
}

// The time line over each finished frame: show time, phase, scene time, pause, reload error.
static void drawAuthorBand() {
    static const char* const phaseNames[] = {"logo", "intro", "scene", "fin", "intro"};
    const int ms = currentMs();
    char status[128];
    snprintf(status, sizeof status, "%7.3f s  %s %+.3f s%s", ms / 1000.0,
             phaseNames[framePhase(showClock)], (ms - showClock.introEnd * 1000) / 1000.0,
             author.paused ? "  PAUSE" : "");
    drawTimeLine(status, author.problem.c_str(), ms / (SHOW_END * 1000.0f));
}

static void authorIdle();

// Reads the map again once its files have settled; the show goes on at the same show time.
static void reloadWhenSaved() {
    if (!fileWatchSettled(author.watch, steadyMs(), AUTHOR_QUIET_MS)) {
        return;
    }
    const int ms = currentMs();
    if (fileIdentity(SHOW_MUSIC_FILE) != author.music) {
        // A new piece of music: opened again, played from the show time below.
        author.music = fileIdentity(SHOW_MUSIC_FILE);
        soundStreamStop(musicStream);
        soundStreamClose(musicStream);
        openMusic();
        seekShow(ms);
    }
    std::string error;
    MapReport report;
    if (!reloadMap(author.options.mapName, report, error)) {
        author.problem = error;
        fflush(stdout);
        fprintf(stderr, "%s\n", error.c_str());
        glutPostRedisplay();
        return;
    }
    author.problem.clear();
    author.report = report;
    applyMapReport(report);
    glutIdleFunc(authorIdle); // the map's report chose the show's idle: the authoring one wraps it
    markSceneStart();
    seekShow(ms);
}

static void authorIdle() {
    reloadWhenSaved();
    if (author.paused) {
        usleep(AUTHOR_PAUSED_SLEEP_US);
        return;
    }
    if (author.report.animatedCamera && readClockMs() >= showClock.showEnd * 1000) {
        seekShow(0); // the show's restart, kept on whole seconds
        return;
    }
    if (!author.report.animatedCamera) {
        viewerIdle();
        return;
    }
    const int ms = readClockMs();
    alignSceneStart(showClock, ms);
    runSceneIdle(ms);
    glutPostRedisplay();
}

//----------------------------------------------------------------------------------
// Start
//----------------------------------------------------------------------------------
void startAuthoring(const AuthorOptions& options, const MapReport& report) {
    author.options = options;
    author.report = report;
    author.paused = options.paused;
    particlesHeld = options.paused;
    markSceneStart();
    // The show's clock runs from the map's start, on whole seconds: show time is the clock.
    showClock.showStart = 0.0f;
    setEventTimes(showClock);
    seekShow(options.atMs < 0 ? 0 : options.atMs);
    if (!options.author) {
        return;
    }
    glutKeyboardFunc(onAuthorKey);
    glutIdleFunc(authorIdle);
    setFrameOverlay(drawAuthorBand);
    author.music = fileIdentity(SHOW_MUSIC_FILE);
    const std::string mapDir = "map/" + options.mapName + "/";
    startFileWatch(author.watch, {mapDir, "textures/", "media/"}, options.poll);
}
