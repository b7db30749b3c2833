// The console streams on a terminal: Windows-1252 lines written as UTF-8 on a UTF-8 terminal,
// untouched elsewhere. Application side, the desktop build (the page decodes the bytes itself).
#include "app/console.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <langinfo.h>
#include <locale.h>
#include <unistd.h>

// Writes a stream's bytes to its descriptor (the cookie) in UTF-8. Returns the bytes taken, or
// -1 when the terminal refuses them.
static ssize_t writeUtf8(void* cookie, const char* bytes, size_t size) {
    const int fd = (int)(intptr_t)cookie;
    const std::string text = cp1252ToUtf8(bytes, size);
    for (size_t done = 0; done < text.size();) {
        const ssize_t wrote = ::write(fd, text.data() + done, text.size() - done);
        if (wrote < 0 && errno == EINTR) {
            continue;
        }
        if (wrote <= 0) {
            return -1;
        }
        done += (size_t)wrote;
    }
    return (ssize_t)size;
}

// True when the locale the environment asks for has UTF-8 as its character set. The process's
// own locale stays "C": numbers and the system's error texts are printed as before.
static bool localeIsUtf8() {
    locale_t asked = newlocale(LC_CTYPE_MASK, "", (locale_t)0);
    if (asked == (locale_t)0) {
        return false;
    }
    const char* codeset = nl_langinfo_l(CODESET, asked);
    const bool utf8 = codeset != nullptr && strcmp(codeset, "UTF-8") == 0;
    freelocale(asked);
    return utf8;
}

// A stream that writes to `fd` in UTF-8, or null when the C library can't make one.
static FILE* utf8Stream(int fd, int buffering) {
    cookie_io_functions_t functions = {nullptr, writeUtf8, nullptr, nullptr};
    FILE* stream = fopencookie((void*)(intptr_t)fd, "w", functions);
    if (stream != nullptr) {
        setvbuf(stream, nullptr, buffering, 0);
    }
    return stream;
}

void setUpConsole() {
    const bool outTerminal = isatty(STDOUT_FILENO) == 1;
    const bool errTerminal = isatty(STDERR_FILENO) == 1;
    if (!(outTerminal || errTerminal) || !localeIsUtf8()) {
        return;
    }
    if (outTerminal) {
        if (FILE* stream = utf8Stream(STDOUT_FILENO, _IOLBF)) {
            fflush(stdout);
            stdout = stream;
        }
    }
    if (errTerminal) {
        if (FILE* stream = utf8Stream(STDERR_FILENO, _IONBF)) {
            stderr = stream;
        }
    }
}
