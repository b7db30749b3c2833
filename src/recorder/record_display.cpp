// The recorder's own X server: Xvfb picks a free display itself (-displayfd) and dies with the
// recorder (parent-death signal), in a process group of its own so that Ctrl-C reaches only
// the recorder, which then stops it. Recorder side.
#include "recorder/record_display.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/show_layout.h"

//----------------------------------------------------------------------------------
// Defines and state
//----------------------------------------------------------------------------------
#define DISPLAY_START_TIMEOUT_MS 15000 // how long Xvfb may take to report its display

static volatile pid_t serverPid = 0; // written by startOwnDisplay and stopOwnDisplay only

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------

// In the child: a quiet Xvfb that writes its display number on `fd`.
[[noreturn]] static void runServer(int fd) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    setpgid(0, 0);
    int quiet = open("/dev/null", O_RDWR);
    dup2(quiet, 0);
    dup2(quiet, 1);
    dup2(quiet, 2);
    std::string fdText = std::to_string(fd);
    std::string screen =
        std::to_string(SHOW_WINDOW_WIDTH) + "x" + std::to_string(SHOW_WINDOW_HEIGHT) + "x24";
    execlp("Xvfb", "Xvfb", "-displayfd", fdText.c_str(), "-screen", "0", screen.c_str(),
           "-nolisten", "tcp", "-noreset", (char*)nullptr);
    _exit(127);
}

// Reads the display number Xvfb reports; empty when it ends or stays silent.
static std::string readDisplayNumber(int fd) {
    std::string number;
    struct pollfd wait = {fd, POLLIN, 0};
    while (poll(&wait, 1, DISPLAY_START_TIMEOUT_MS) > 0) {
        char c;
        ssize_t got = read(fd, &c, 1);
        if (got <= 0 || c == '\n') {
            break;
        }
        number += c;
    }
    return number;
}

bool startOwnDisplay(std::string& error) {
    int ends[2];
    if (pipe(ends) != 0) {
        error = std::string("Xvfb : ") + strerror(errno);
        return false;
    }
    pid_t pid = fork();
    if (pid == 0) {
        close(ends[0]);
        runServer(ends[1]);
    }
    close(ends[1]);
    if (pid < 0) {
        close(ends[0]);
        error = std::string("Xvfb : ") + strerror(errno);
        return false;
    }
    serverPid = pid;
    std::string number = readDisplayNumber(ends[0]);
    close(ends[0]);
    if (number.empty()) {
        stopOwnDisplay();
        error = "Xvfb n'a pas d\xe9marr\xe9 (paquet xvfb : scripts/install-deps)";
        return false;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return true;
}

void stopOwnDisplay() {
    pid_t pid = serverPid;
    if (pid > 0) {
        serverPid = 0;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
}
