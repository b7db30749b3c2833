// Render settings: the initial GL state and the state changes of the keys (the fog's with their
// console lines). Render side: the key table that calls them is app/keys.
#include "render/render_settings.h"

#include <cstdio>

#include "render/font.h"

//----------------------------------------------------------------------------------
// Global state
//----------------------------------------------------------------------------------
RenderSettings renderSettings;

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------
void setRenderDefaults(RenderSettings& settings) {
    settings.fogMode = GL_EXP;
    settings.fogColor[0] = 0.5f;
    settings.fogColor[1] = 0.5f;
    settings.fogColor[2] = 0.5f;
    settings.fogColor[3] = 1.0f;
    settings.fogDensity = 0.05f;
    settings.fogStart = 0.0f;
    settings.fogEnd = 50.0f;
}

void initGLState() {
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glShadeModel(GL_SMOOTH);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glEnable(GL_TEXTURE_2D);
    glFogi(GL_FOG_MODE, (GLint)renderSettings.fogMode);
    glFogfv(GL_FOG_COLOR, renderSettings.fogColor);
    glFogf(GL_FOG_DENSITY, renderSettings.fogDensity);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_START, renderSettings.fogStart);
    glFogf(GL_FOG_END, renderSettings.fogEnd);
    glPointSize(2.0f);
    loadFont();
}

float stepFogDensity(float density, double step) {
    return (float)((double)density + step);
}

void cycleFog(RenderSettings& settings) {
    if (!glIsEnabled(GL_FOG)) {
        glEnable(GL_FOG);
        glFogi(GL_FOG_MODE, (GLint)settings.fogMode);
        glClearColor(settings.fogColor[0], settings.fogColor[1], settings.fogColor[2], 1.0f);
        printf("GL_MODE : GL_EXP\n");
    } else if (settings.fogMode == GL_EXP) {
        settings.fogMode = GL_EXP2;
        glFogi(GL_FOG_MODE, (GLint)settings.fogMode);
        printf("GL_MODE : GL_EXP2\n");
    } else if (settings.fogMode == GL_EXP2) {
        settings.fogMode = GL_LINEAR;
        glFogi(GL_FOG_MODE, (GLint)settings.fogMode);
        printf("GL_MODE : GL_LINEAR\n");
    } else if (settings.fogMode == GL_LINEAR) {
        settings.fogMode = GL_EXP;
        glDisable(GL_FOG);
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
        printf("GL_FOG desactive\n");
    }
}

void changeFogDensity(RenderSettings& settings, double step) {
    settings.fogDensity = stepFogDensity(settings.fogDensity, step);
    glFogf(GL_FOG_DENSITY, settings.fogDensity);
    printf("Densite brouillard : %f\n", settings.fogDensity);
}

void setTextureFilter(GLint filter) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
}

void setFaceCulling(bool on) {
    if (on) {
        glEnable(GL_CULL_FACE);
    } else {
        glDisable(GL_CULL_FACE);
    }
}

void setPolygonMode(GLenum mode) {
    glPolygonMode(GL_FRONT_AND_BACK, mode);
}

void setLighting(bool on) {
    if (on) {
        glEnable(GL_LIGHTING);
    } else {
        glDisable(GL_LIGHTING);
    }
}

void setShadeModel(GLenum model) {
    glShadeModel(model);
}
