// Keys: the keyboard callback, one entry per character code, with its console lines. App side:
// talks to the toolkit and ends the process on the quit keys; the GL changes are render/'s.
#include "app/keys.h"

#include <GL/freeglut.h>
#include <cstdio>
#include <cstdlib>

#include "app/camera_input.h"
#include "app/window.h"
#include "base/show_layout.h"
#include "render/render_settings.h"

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
        setFaceCulling(true);
        printf("GL_CULL_FACE active\n");
        break;
    case 'C':
        setFaceCulling(false);
        printf("GL_CULL_FACE desactive\n");
        break;
    case 'i':
        setPolygonMode(GL_LINE);
        printf("Affichage \"fil de fer\"\n");
        break;
    case 'o':
        setPolygonMode(GL_FILL);
        printf("Affichage \"faces pleines\"\n");
        break;
    case 'p':
        setPolygonMode(GL_POINT);
        printf("Affichage \"points\"\n");
        break;
    case 'l':
        setLighting(false);
        printf("Eclairage desactive\n");
        break;
    case 'L':
        setLighting(true);
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
        setShadeModel(GL_SMOOTH);
        printf("Modele eclairage : GL_SMOOTH\n");
        break;
    case 'X':
        setShadeModel(GL_FLAT);
        printf("Modele eclairage : GL_FLAT\n");
        break;
    case 'a':
        glutFullScreen();
        printf("Plein ecran\n");
        return;
    case 'A':
        glutReshapeWindow(SHOW_WINDOW_WIDTH, SHOW_WINDOW_HEIGHT);
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
