// Render settings: the initial GL state and the keyboard commands with their console lines.
#include "app/settings.h"

#include <GL/freeglut.h>
#include <cstdio>
#include <cstdlib>

#include "app/window.h"
#include "path/camera.h"
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

// Off -> GL_EXP -> GL_EXP2 -> GL_LINEAR -> off; the clear colour follows the fog.
static void cycleFog(RenderSettings& settings) {
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

static void changeFogDensity(RenderSettings& settings, double step) {
    settings.fogDensity = stepFogDensity(settings.fogDensity, step);
    glFogf(GL_FOG_DENSITY, settings.fogDensity);
    printf("Densite brouillard : %f\n", settings.fogDensity);
}

static void setTextureFilter(GLint filter) {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
}

void onKey(unsigned char key, int x, int y) {
    (void)x;
    (void)y;
    switch (key) {
    case KEY_ESCAPE:
    case 'q':
        quitShow();
        exit(0);
    case 'k':
        cycleFog(renderSettings);
        break;
    case 'n':
        changeFogDensity(renderSettings, -0.01);
        break;
    case 'N':
        changeFogDensity(renderSettings, 0.01);
        break;
    case 'c':
        glEnable(GL_CULL_FACE);
        printf("GL_CULL_FACE active\n");
        break;
    case 'C':
        glDisable(GL_CULL_FACE);
        printf("GL_CULL_FACE desactive\n");
        break;
    case 'i':
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        printf("Affichage \"fil de fer\"\n");
        break;
    case 'o':
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        printf("Affichage \"faces pleines\"\n");
        break;
    case 'p':
        glPolygonMode(GL_FRONT_AND_BACK, GL_POINT);
        printf("Affichage \"points\"\n");
        break;
    case 'l':
        glDisable(GL_LIGHTING);
        printf("Eclairage desactive\n");
        break;
    case 'L':
        glEnable(GL_LIGHTING);
        printf("Eclairage active\n");
        break;
    case 'm':
        setTextureFilter(GL_LINEAR);
        printf("Filtrage texture : GL_LINEAR\n");
        break;
    case 'M':
        setTextureFilter(GL_NEAREST);
        printf("Filtrage texture : GL_NEAREST\n");
        break;
    case 'x':
        glShadeModel(GL_SMOOTH);
        printf("Modele eclairage : GL_SMOOTH\n");
        break;
    case 'X':
        glShadeModel(GL_FLAT);
        printf("Modele eclairage : GL_FLAT\n");
        break;
    case 'a':
        glutFullScreen();
        printf("Plein ecran\n");
        return;
    case 'A':
        glutReshapeWindow(640, 480);
        printf("Mode fenetre\n");
        return;
    case 's':
        renderSettings.cursorShape = CURSOR_NONE;
        printf("Changement curseur : %d\n", renderSettings.cursorShape);
        glutSetCursor(renderSettings.cursorShape);
        return;
    case 'r':
        moveFreeCamera(MOVE_FORWARD);
        return;
    case 'f':
        moveFreeCamera(MOVE_BACK);
        return;
    case 'd':
        moveFreeCamera(MOVE_LEFT);
        return;
    case 'g':
        moveFreeCamera(MOVE_RIGHT);
        return;
    case 'y':
        moveFreeCamera(MOVE_UP);
        return;
    case 'h':
        moveFreeCamera(MOVE_DOWN);
        return;
    default:
        return; // not a command: no line, no redisplay
    }
    glutPostRedisplay();
}
