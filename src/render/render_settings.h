// Render settings: the fog and cursor settings, the initial GL state and the GL
// changes of the keys. Render side.
#pragma once

#include <GL/gl.h>

struct RenderSettings {
    GLenum fogMode = GL_EXP;                      // GL_EXP, GL_EXP2 or GL_LINEAR while fog is on
    float fogColor[4] = {0.5f, 0.5f, 0.5f, 1.0f}; // also the clear colour while fog is on
    float fogDensity = 0.05f;                     // exponential modes
    float fogStart = 0.0f;                        // linear mode
    float fogEnd = 50.0f;                         // linear mode
    int cursorShape = 0;                          // toolkit cursor last chosen by key
};

extern RenderSettings renderSettings; // written by the show start and the keys (app/) only

// The fog defaults written by the show start.
void setRenderDefaults(RenderSettings& settings);

// The initial rendering state, then the font.
void initGLState();

// The density step of "n" (-0.01) and "N" (+0.01): double arithmetic on the stored float.
float stepFogDensity(float density, double step);

// Off -> GL_EXP -> GL_EXP2 -> GL_LINEAR -> off; the clear colour follows the fog. Prints the mode.
void cycleFog(RenderSettings& settings);

// One density step, given to GL and printed.
void changeFogDensity(RenderSettings& settings, double step);

// Magnification and minification filter of the bound texture.
void setTextureFilter(GLint filter);

// The keys' other state changes, one GL call each; the key table prints their lines.
void setFaceCulling(bool on);     // GL_CULL_FACE
void setPolygonMode(GLenum mode); // front and back: GL_LINE, GL_FILL or GL_POINT
void setLighting(bool on);        // GL_LIGHTING
void setShadeModel(GLenum model); // GL_SMOOTH or GL_FLAT
