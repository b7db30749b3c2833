// The image library's GL part, for the web build: the bound picture uploaded into a WebGL
// texture. Web back end only.
#pragma once

#include <IL/il.h>

#define ILUT_OPENGL 0
#define ILUT_OPENGL_CONV 0x0645

ILint ilutGetInteger(ILenum mode);
ILboolean ilutRenderer(ILenum renderer);
ILboolean ilutEnable(ILenum mode);
// Uploads the bound picture (bottom row first) into a new texture with mipmaps, repeating, with
// linear filters; returns its name, 0 when no picture is loaded.
ILuint ilutGLBindTexImage();
