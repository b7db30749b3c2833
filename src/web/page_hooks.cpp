// What the page (and its tests) may ask the player: the free camera's place and heading, which a
// free-camera map never shows before its scene phase. Web back end only.
#include <cstdio>
#include <emscripten.h>

#include "path/camera.h"

// "x y z yaw pitch" of the free camera, in a buffer that the next call overwrites.
extern "C" EMSCRIPTEN_KEEPALIVE const char* skarnFreeCamera() {
    static char text[160];
    snprintf(text, sizeof text, "%g %g %g %g %g", camera.eye.x, camera.eye.y, camera.eye.z,
             camera.yaw, camera.pitch);
    return text;
}
