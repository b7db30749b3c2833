// The command line before any window: usage, --help and --version. No map can be named "--help"
// or "--version" (a map name is a directory under map/ and the player would look for
// map/--help/--help.mde), so answering them changes nothing that played before.
#include "app/command_line.h"

#include <cstring>

#ifndef SKARN_VERSION
#define SKARN_VERSION "unknown"
#endif

const char* const USAGE_TEXT = "skarn nom_map\n";

static const char* const HELP_TEXT =
    "skarn nom_map\n"
    "\n"
    "Joue le spectacle de la map nom_map, depuis le dossier courant :\n"
    "  map/nom_map/nom_map.mde   la map (camera, lampes, monde, objets, arbres)\n"
    "  map/nom_map/*.msh         les meshes nommes par la map\n"
    "  map/nom_map/*.dpl         les trajectoires des objets, camera.dpl pour la camera\n"
    "  textures/                 les images (JPEG, Targa)\n"
    "  media/musique.mp3         la musique\n"
    "\n"
    "Touches :\n"
    "  Echap, q   quitter\n"
    "  k          brouillard : GL_EXP, GL_EXP2, GL_LINEAR, desactive\n"
    "  n, N       densite du brouillard -0.01, +0.01\n"
    "  c, C       GL_CULL_FACE active, desactive\n"
    "  i, o, p    fil de fer, faces pleines, points\n"
    "  l, L       eclairage desactive, active\n"
    "  m, M       filtrage texture GL_LINEAR, GL_NEAREST\n"
    "  x, X       modele eclairage GL_SMOOTH, GL_FLAT\n"
    "  a, A       plein ecran, mode fenetre\n"
    "  s          cacher le curseur\n"
    "  r, f       camera libre : avancer, reculer\n"
    "  d, g       camera libre : gauche, droite\n"
    "  y, h       camera libre : monter, descendre\n"
    "  souris     bouton tenu : tourner la camera libre\n";

static const char* const VERSION_TEXT = "skarn " SKARN_VERSION "\n";

const char* commandLineText(int argc, char** argv) {
    if (argc != 2) {
        return USAGE_TEXT;
    }
    if (strcmp(argv[1], "--help") == 0) {
        return HELP_TEXT;
    }
    if (strcmp(argv[1], "--version") == 0) {
        return VERSION_TEXT;
    }
    return nullptr;
}
