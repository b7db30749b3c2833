// Start-up of the real player timed to its first presented frame, for the benchmarks that compare
// maps: the player runs in a child process with the probe preloaded, which stamps its first swap.
#include "first_frame.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

const double TIMEOUT_SECONDS = 30;

long long monotonicNs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (long long)now.tv_sec * 1000000000LL + now.tv_nsec;
}

} // namespace

// Starts the player on `mapName` in `dir` and returns the seconds from the start to its first
// presented frame, or -1 when no frame came within the timeout. The player is then stopped.
double timeFirstFrame(const std::string& player, const std::string& probe, const std::string& stamp,
                      const std::string& dir, const std::string& mapName) {
    unlink(stamp.c_str());
    const long long start = monotonicNs();
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(dir.c_str()) != 0) {
            _exit(127);
        }
        setenv("LD_PRELOAD", probe.c_str(), 1);
        setenv("SKARN_FIRST_FRAME_FILE", stamp.c_str(), 1);
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (freopen("/dev/null", "w", stdout) == nullptr ||
            freopen("/dev/null", "w", stderr) == nullptr) {
            _exit(127);
        }
        execl(player.c_str(), "skarn", mapName.c_str(), (char*)nullptr);
        _exit(127);
    }
    if (child < 0) {
        return -1;
    }
    long long presented = -1;
    while (presented < 0 && monotonicNs() - start < (long long)(TIMEOUT_SECONDS * 1e9)) {
        FILE* f = fopen(stamp.c_str(), "r");
        if (f != nullptr) {
            if (fscanf(f, "%lld", &presented) != 1) {
                presented = -1;
            }
            fclose(f);
        }
        int status = 0;
        if (presented < 0 && waitpid(child, &status, WNOHANG) == child) {
            return -1; // ended before any frame
        }
        if (presented < 0) {
            usleep(2000);
        }
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    return presented < 0 ? -1 : double(presented - start) * 1e-9;
}
