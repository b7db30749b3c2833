// Preloaded into the player by the start-up benchmark: after the first buffer swap returns it
// writes the monotonic clock (nanoseconds) into the file named by SKARN_FIRST_FRAME_FILE.
// The player itself is not changed; only its swap call passes through here.
#include <GL/glx.h>
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

extern "C" void glXSwapBuffers(Display* display, GLXDrawable drawable) {
    using SwapFunction = void (*)(Display*, GLXDrawable);
    static SwapFunction realSwap = (SwapFunction)dlsym(RTLD_NEXT, "glXSwapBuffers");
    static bool written = false;
    if (realSwap != nullptr) {
        realSwap(display, drawable);
    }
    const char* path = getenv("SKARN_FIRST_FRAME_FILE");
    if (written || path == nullptr) {
        return;
    }
    written = true;
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    // Written under a temporary name, then renamed: the reader never sees half a number.
    const std::string temporary = std::string(path) + ".part";
    FILE* file = fopen(temporary.c_str(), "w");
    if (file != nullptr) {
        fprintf(file, "%lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
        fclose(file);
        rename(temporary.c_str(), path);
    }
}
