// A watch on the folders a map reads from: inotify where the system has it, else a poll of the
// files' modification times and sizes. It says when something changed and has then been quiet
// for a while, so a save by rename or by truncate-then-write is seen once, whole. Base layer.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct FileWatch {
    int inotifyFd = -1;                     // -1: polling
    std::vector<std::string> folders;       // watched folders, each ending in '/'
    std::vector<std::string> pollSignature; // per folder: names, times and sizes at the last poll
    int64_t lastPollMs = -1;                // when the folders were last polled
    int64_t lastChangeMs = -1;              // last change seen, -1 when none is waiting
};

// Watches `folders` (missing ones are skipped); `poll` forces polling. Returns false when no
// folder could be watched.
bool startFileWatch(FileWatch& watch, const std::vector<std::string>& folders, bool poll);

// Gathers the changes up to `nowMs` (milliseconds on any steady clock); true, once, when files
// changed and nothing more happened for `quietMs` since.
bool fileWatchSettled(FileWatch& watch, int64_t nowMs, int quietMs);

// Gives the inotify descriptor back.
void stopFileWatch(FileWatch& watch);

// Device, inode, size and modification time of a file as one text; empty when it can't be read.
// A save changes it, whether it wrote the file in place or renamed a new one over it.
std::string fileIdentity(const std::string& path);
