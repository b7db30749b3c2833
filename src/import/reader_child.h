// Work on an untrusted file done in a child process under limits: address space, processor
// and wall-clock time, a large stack, no core file. What the child says comes back as framed
// messages through a pipe; a crash, a limit or a hang becomes one line. Import side.
#pragma once

#include <csignal>
#include <functional>
#include <string>
#include <vector>

#include "import/scene_reader.h"

// One message of the child: a kind letter and its text.
struct ChildMessage {
    char kind = 0;
    std::string text;
};

// Sends one message from the child (`fd` is the one its work was given).
void childSend(int fd, char kind, const std::string& text);

// Runs `work` in a child. `onMessage` sees each message as it comes, `onWait` is called about
// five times a second with the seconds spent. Returns "" when the child ended normally, else why
// not: "the scene reader crashed (signal 11)", "... needed more than N MB", "... took longer
// than N s", or "interrupted" once `*stop` is set (a signal handler sets it; the child is
// killed). Everything the child sent is in `messages` either way.
std::string runInChild(const ImportLimits& limits, const std::function<void(int fd)>& work,
                       std::vector<ChildMessage>& messages,
                       const std::function<void(const ChildMessage&)>& onMessage,
                       const std::function<void(double seconds)>& onWait,
                       volatile sig_atomic_t* stop);
