// skarn-record: records one whole show of a map into an MP4 file. Usage:
// skarn-record [--fps N] [--times] [--at S] [--to S] nom_map SORTIE.mp4
// Recorder side: the start-up is the player's, on an X server of its own, with the recording clock
// and sound back end in place. The recorder's own ends are here; as in the player, the toolkit
// ends the process when it can't start and the window's handler when the X server goes away.
#include <GL/freeglut.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "app/clock.h"
#include "recorder/record_clock.h"
#include "recorder/record_display.h"
#include "recorder/record_run.h"
#include "recorder/record_sound.h"
#include "app/entry.h"
#include "app/show.h"
#include "app/window.h"
#include "record/output_file.h"
#include "render/show_step.h"
#include "record/record_options.h"
#include "scene/map.h"
#include "sound/music.h"

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------

static void onStopSignal(int signal) {
    stopSignal = signal;
}

// SIGINT and SIGTERM end the frame loop; a file-size limit becomes a write error.
static void installSignals() {
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    signal(SIGXFSZ, SIG_IGN);
    signal(SIGPIPE, SIG_IGN);
}

static int fail(const std::string& message) {
    fflush(stdout);
    fprintf(stderr, "skarn-record : %s\n", message.c_str());
    return 1;
}

// The length of one show, from the show's own timeline with a start at 0.
static int showSeconds() {
    ShowClock probe;
    setEventTimes(probe);
    return probe.showEnd;
}

// The player's start-up, in its order. A map that stops the player stops the recorder with the
// player's lines, but never with status 0: no video is a failure here.
static bool startPlayer(const char* program, const std::string& mapName, ShowCallbacks& callbacks,
                        int& status) {
    // The toolkit sees the command line the player would: the program and the map name.
    char* toolkitArgs[] = {const_cast<char*>(program), const_cast<char*>(mapName.c_str()), nullptr};
    if (!initWindow(2, toolkitArgs)) {
        status = fail("the toolkit took the map name " + mapName + " as one of its options");
        return false;
    }
    MapReport report;
    LoadResult started = startPlayerShow(mapName.c_str(), report);
    if (!started.ok) {
        status = endStart(started) == 0 ? 1 : started.status;
        return false;
    }
    onReshape(glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT));
    callbacks = showCallbacksFor(report);
    return true;
}

// Where the time went, for the bench and the curious.
static void printTimes(const RecordTimes& t, double showLength) {
    fprintf(stderr,
            "temps : dessin %.2f s, relecture %.2f s, attente de l'encodeur %.2f s ; encodage "
            "%.2f s (dont conversion %.2f s) sur son fil ; total %.2f s, %.2fx le temps r\xe9"
            "el\n",
            t.drawSeconds, t.readbackSeconds, t.waitSeconds, t.encoder.encodeSeconds,
            t.encoder.convertSeconds, t.wallSeconds,
            t.wallSeconds > 0 ? showLength / t.wallSeconds : 0.0);
}

int main(int argc, char** argv) {
    setvbuf(stdout, nullptr, _IOLBF, 0);
    RecordOptions options;
    std::string error;
    if (!parseRecordOptions(argc, argv, options, error)) {
        fail(error);
        fputs(recordUsage(), stderr);
        return 1;
    }
    if (options.showUsage) {
        fputs(recordUsage(), stdout);
        return 0;
    }
    std::string mapPath = mapFilePath(options.mapName);
    if (access(mapPath.c_str(), R_OK) != 0) {
        return fail(mapPath + " : " + strerror(errno));
    }
    if (!checkOutputPath(options.outputPath, error)) {
        return fail(error);
    }
    installSignals();
    if (!startOwnDisplay(error)) {
        return fail(error);
    }
    atexit(stopOwnDisplay);

    int length = showSeconds();
    setClockSource(recordClockMs);
    recordSound.maxSeconds = length;
    setSoundBackend(recordSoundBackend());
    ShowCallbacks callbacks;
    int status = 0;
    if (!startPlayer(argv[0], options.mapName, callbacks, status)) {
        return status;
    }

    // The show's lines while it plays (the end phase's, every frame) stay off the console.
    fflush(stdout);
    int console = dup(STDOUT_FILENO);
    int quiet = open("/dev/null", O_WRONLY);
    dup2(quiet, STDOUT_FILENO);
    close(quiet);

    OutputFile output = outputFileFor(options.outputPath, (int)getpid());
    EncoderSettings settings;
    settings.fps = options.fps;
    Recording* recording = nullptr;
    bool ok = stopSignal == 0 && createTemporary(output, error);
    if (ok) {
        recording = openRecording(output.tempPath, settings, recordSound.track, error);
        ok = recording != nullptr;
    }
    RecordTimes times;
    int64_t frameCount = (int64_t)length * options.fps;
    int64_t firstFrame = 0;
    if (options.toMs >= 0) {
        frameCount = ((int64_t)options.toMs * options.fps + 999) / 1000;
    }
    if (ok && options.atMs > 0) {
        // A clip: the show simulated up to its first frame, in the recording's own steps.
        firstFrame = simulateShowTo(showClock, frameCounter, options.atMs, options.fps, true);
        holdRecordClockAt(showClock.lastTickMs);
    }
    if (ok) {
        ok = recordFrames(recording, callbacks.idle, callbacks.display, firstFrame, frameCount,
                          options.fps, times, error);
    }
    frameCount -= firstFrame;
    if (ok && stopSignal != 0) {
        ok = false; // stopped while the file was being completed: nothing is kept either
    }
    if (ok) {
        ok = commitOutput(output, error);
    } else {
        discardOutput(output);
    }
    fflush(stdout);
    dup2(console, STDOUT_FILENO);
    close(console);
    if (stopSignal != 0 && error.empty()) {
        error = std::string("interrompu par ") + (stopSignal == SIGINT ? "SIGINT" : "SIGTERM");
    }
    // The scene given back as the player gives it back when it quits: the lists' destructors at
    // exit would drop the paths' points unfreed.
    quitShow();
    if (!ok) {
        return fail(error + " ; " + options.outputPath +
                    " n'est pas \xe9"
                    "crit");
    }
    length = (int)((frameCount + options.fps / 2) / options.fps); // the clip's, when one
    if (options.showTimes) {
        printTimes(times, (double)length);
    }
    printf("Vid\xe9o enregistr\xe9"
           "e : %s (%d s, %lld images, %.1f Mo)\n",
           options.outputPath.c_str(), length, (long long)frameCount,
           fileSize(options.outputPath) / 1e6);
    return 0;
}
