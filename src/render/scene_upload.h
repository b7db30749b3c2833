// Scene upload: the render side's hooks for a scene load, the GL work a map's load hands up at
// its place in the log (a mesh's picture uploaded, each lamp set up). Render side.
#pragma once

#include "scene/load_hooks.h"

// Hooks that upload each mesh picture into a texture and give each lamp to OpenGL.
SceneLoadHooks sceneUploadHooks();
