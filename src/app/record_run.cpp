// The recorder's frame loop: show time moves exactly 1/fps s per frame (whole milliseconds,
// without drift), the show's idle and display run as in the player, the frame sink reads the
// back buffer into the encoder's next buffer. App side.
#include "app/record_run.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <chrono>
#include <cstdio>
#include <unistd.h>

#include "app/record_sound.h"
#include "app/window.h"
#include "render/show_step.h"

//----------------------------------------------------------------------------------
// State
//----------------------------------------------------------------------------------
#define RECORD_WIDTH 640 // the player's window
#define RECORD_HEIGHT 480
#define PROGRESS_PERIOD 0.25 // seconds of wall time between progress lines

volatile sig_atomic_t stopSignal = 0;

struct RecordLoop {
    int64_t showMs = 0;             // show time of the frame being made
    Recording* recording = nullptr; // where frames go
    size_t cuesSent = 0;            // music cues already passed to the recording
    RecordTimes* times = nullptr;
    int64_t startMs = 0; // show time of the first recorded frame: the clip's time 0
};

static RecordLoop loop; // written by recordFrames and the frame sink only

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------

static double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

int recordClockMs() {
    return (int)loop.showMs;
}

// The frame sink: the finished back buffer into the encoder's next buffer.
static void grabFrame() {
    glFinish(); // the software renderer fills pixels late: count that as drawing, not readback
    auto start = std::chrono::steady_clock::now();
    uint8_t* pixels = nextFrameBuffer(loop.recording);
    auto readStart = std::chrono::steady_clock::now();
    loop.times->waitSeconds += std::chrono::duration<double>(readStart - start).count();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, RECORD_WIDTH, RECORD_HEIGHT, GL_BGRA, GL_UNSIGNED_BYTE, pixels);
    loop.times->readbackSeconds += secondsSince(readStart);
}

// Passes the play and stop cues made since the last call.
static void sendCues() {
    for (; loop.cuesSent < recordSound.cues.size(); loop.cuesSent++) {
        const MusicCue& cue = recordSound.cues[loop.cuesSent];
        cueMusic(loop.recording, cue.sample - loop.startMs, cue.play);
    }
}

// "frames/total, speed against real time, time left", redrawn in place on a terminal.
static void showProgress(int64_t done, int64_t total, int fps, double wall) {
    double speed = wall > 0.0 ? (double)done / fps / wall : 0.0;
    int left = speed > 0.0 ? (int)((double)(total - done) / fps / speed + 0.5) : 0;
    fprintf(stderr,
            "\r%lld/%lld images, %.1fx le temps r\xe9"
            "el, reste %d:%02d   ",
            (long long)done, (long long)total, speed, left / 60, left % 60);
    fflush(stderr);
}

bool recordFrames(Recording* recording, void (*idle)(), void (*display)(), int64_t firstFrame,
                  int64_t frameCount, int fps, RecordTimes& times, std::string& error) {
    loop.recording = recording;
    loop.times = &times;
    loop.cuesSent = 0;
    loop.startMs = fixedStepMs(firstFrame, fps);
    bool progress = isatty(STDERR_FILENO);
    auto start = std::chrono::steady_clock::now();
    double lastProgress = -PROGRESS_PERIOD;
    setFrameSink(grabFrame);
    bool ok = true;
    for (int64_t frame = firstFrame; frame < frameCount && ok; frame++) {
        if (stopSignal != 0) {
            error = std::string("interrompu par ") + (stopSignal == SIGINT ? "SIGINT" : "SIGTERM");
            ok = false;
            break;
        }
        loop.showMs = fixedStepMs(frame, fps);
        auto drawStart = std::chrono::steady_clock::now();
        idle();
        display(); // the sink reads the frame back
        times.drawSeconds += secondsSince(drawStart);
        sendCues();
        ok = submitFrame(recording);
        double wall = secondsSince(start);
        if (progress && (wall - lastProgress >= PROGRESS_PERIOD || frame + 1 == frameCount)) {
            showProgress(frame + 1 - firstFrame, frameCount - firstFrame, fps, wall);
            lastProgress = wall;
        }
    }
    setFrameSink(nullptr);
    if (progress) {
        fprintf(stderr, "\n");
    }
    times.drawSeconds -= times.readbackSeconds + times.waitSeconds;
    if (!ok) {
        std::string encoderError;
        if (error.empty()) {
            // The encoder stopped taking frames: its reason comes with the finish.
            finishRecording(recording, times.encoder, encoderError);
            error = encoderError;
        } else {
            abandonRecording(recording);
        }
        return false;
    }
    ok = finishRecording(recording, times.encoder, error);
    times.wallSeconds = secondsSince(start);
    return ok;
}
