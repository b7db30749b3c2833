// The toolkit's header for the web build: emscripten's GLUT has freeglut's standard interface.
// Web back end only.
#pragma once

#include <GL/freeglut_std.h>
