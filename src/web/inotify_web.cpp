// The browser has no file notifications: these answers make base/'s file watch fall back to
// polling the packed folder (whose files never change in a page). Web back end only.
#include <cerrno>
#include <cstdint>

extern "C" int inotify_init1(int flags) {
    (void)flags;
    errno = ENOSYS;
    return -1;
}

extern "C" int inotify_add_watch(int fd, const char* path, uint32_t mask) {
    (void)fd, (void)path, (void)mask;
    errno = ENOSYS;
    return -1;
}
