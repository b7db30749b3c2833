// The folder watch: inotify events, or a poll of names, times and sizes, then a quiet period.
#include "base/file_watch.h"

#include <cstring>
#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#define WATCH_POLL_PERIOD_MS 100 // between two polls of the folders
#define WATCH_EVENTS (IN_CLOSE_WRITE | IN_MODIFY | IN_MOVED_TO | IN_CREATE | IN_DELETE)

// Editors' scratch files (hidden names, backups ending in '~') are no change to the map.
static bool scratchName(const char* name) {
    size_t length = strlen(name);
    return length == 0 || name[0] == '.' || name[length - 1] == '~';
}

// Every file of a folder with its modification time and size, in directory order.
static std::string folderSignature(const std::string& folder) {
    std::string signature;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return signature;
    }
    while (struct dirent* entry = readdir(dir)) {
        if (scratchName(entry->d_name)) {
            continue;
        }
        struct stat info;
        if (stat((folder + entry->d_name).c_str(), &info) != 0) {
            continue;
        }
        signature += std::string(entry->d_name) + " " + std::to_string(info.st_mtim.tv_sec) + "." +
                     std::to_string(info.st_mtim.tv_nsec) + " " + std::to_string(info.st_size) +
                     "\n";
    }
    closedir(dir);
    return signature;
}

bool startFileWatch(FileWatch& watch, const std::vector<std::string>& folders, bool poll) {
    stopFileWatch(watch);
    watch = FileWatch{};
    watch.inotifyFd = poll ? -1 : inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    for (std::string folder : folders) {
        if (folder.empty() || folder.back() != '/') {
            folder += '/';
        }
        if (watch.inotifyFd >= 0 &&
            inotify_add_watch(watch.inotifyFd, folder.c_str(), WATCH_EVENTS) < 0) {
            continue;
        }
        if (watch.inotifyFd < 0 && access(folder.c_str(), R_OK) != 0) {
            continue;
        }
        watch.folders.push_back(folder);
        watch.pollSignature.push_back(watch.inotifyFd < 0 ? folderSignature(folder) : "");
    }
    return !watch.folders.empty();
}

// True when inotify reported a change to a file that is not an editor's scratch file.
static bool readEvents(FileWatch& watch) {
    alignas(struct inotify_event) char buffer[4096];
    bool changed = false;
    ssize_t length;
    while ((length = read(watch.inotifyFd, buffer, sizeof buffer)) > 0) {
        for (char* p = buffer; p < buffer + length;) {
            const struct inotify_event* event = (const struct inotify_event*)p;
            if (event->len == 0 || !scratchName(event->name)) {
                changed = true;
            }
            p += sizeof(struct inotify_event) + event->len;
        }
    }
    return changed;
}

// True when a folder's files differ from the last poll.
static bool pollFolders(FileWatch& watch) {
    bool changed = false;
    for (size_t i = 0; i < watch.folders.size(); i++) {
        std::string signature = folderSignature(watch.folders[i]);
        if (signature != watch.pollSignature[i]) {
            watch.pollSignature[i] = signature;
            changed = true;
        }
    }
    return changed;
}

bool fileWatchSettled(FileWatch& watch, int64_t nowMs, int quietMs) {
    bool changed = false;
    if (watch.inotifyFd >= 0) {
        changed = readEvents(watch);
    } else if (watch.lastPollMs < 0 || nowMs - watch.lastPollMs >= WATCH_POLL_PERIOD_MS) {
        watch.lastPollMs = nowMs;
        changed = pollFolders(watch);
    }
    if (changed) {
        watch.lastChangeMs = nowMs;
        return false;
    }
    if (watch.lastChangeMs >= 0 && nowMs - watch.lastChangeMs >= quietMs) {
        watch.lastChangeMs = -1;
        return true;
    }
    return false;
}

void stopFileWatch(FileWatch& watch) {
    if (watch.inotifyFd >= 0) {
        close(watch.inotifyFd);
        watch.inotifyFd = -1;
    }
}

std::string fileIdentity(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        return "";
    }
    return std::to_string(info.st_dev) + ":" + std::to_string(info.st_ino) + ":" +
           std::to_string(info.st_size) + ":" + std::to_string(info.st_mtim.tv_sec) + "." +
           std::to_string(info.st_mtim.tv_nsec);
}
