// The command line before any window: usage, --help and --version. No map can be named "--help"
// or "--version" (a map name is a directory under map/ and the player would look for
// map/--help/--help.mde), so answering them changes nothing that played before.
#include "app/command_line.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "app/author.h"
#include "base/show_files.h"

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
    "  souris     bouton tenu : tourner la camera libre\n"
    "\n"
    "skarn [--author] [--at SECONDES] [--paused] [--poll] nom_map\n"
    "  --at T     commencer le spectacle a T secondes (0 <= T < 140), comme s'il avait joue\n"
    "  --author   mode auteur : pause, deplacements dans le temps, ligne de temps dans la\n"
    "             bande du bas, relecture de la map a chaque sauvegarde de ses fichiers\n"
    "  --paused   commencer en pause (mode auteur)\n"
    "  --poll     surveiller les fichiers par releve des dates plutot que par inotify\n"
    "\n"
    "Touches du mode auteur :\n"
    "  espace     pause, reprise\n"
    "  [, ]       une seconde en arriere, en avant\n"
    "  {, }       dix secondes en arriere, en avant\n"
    "  ,, .       une image en arriere, en avant (en pause)\n"
    "  0          debut de la scene\n";

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

// A show time in seconds: a whole number or decimals, in the show, nothing after it.
static bool parseShowSeconds(const char* text, int& ms) {
    char* end = nullptr;
    double seconds = strtod(text, &end);
    if (end == text || *end != '\0' || !std::isfinite(seconds) || seconds < 0.0 ||
        seconds >= SHOW_END) {
        return false;
    }
    ms = (int)std::lround(seconds * 1000.0);
    if (ms >= SHOW_END * 1000) {
        ms = SHOW_END * 1000 - 1;
    }
    return true;
}

AuthorCommand parseAuthorOptions(int argc, char** argv, AuthorOptions& options) {
    bool any = false;
    for (int i = 1; i < argc; i++) {
        any = any || strcmp(argv[i], "--author") == 0 || strcmp(argv[i], "--at") == 0 ||
              strcmp(argv[i], "--paused") == 0 || strcmp(argv[i], "--poll") == 0;
    }
    if (!any) {
        return AUTHOR_NONE;
    }
    options = AuthorOptions{};
    for (int i = 1; i < argc; i++) {
        const char* arg = argv[i];
        if (strcmp(arg, "--author") == 0 || strcmp(arg, "--poll") == 0) {
            options.author = true;
            options.poll = options.poll || arg[2] == 'p';
        } else if (strcmp(arg, "--paused") == 0) {
            options.author = options.paused = true;
        } else if (strcmp(arg, "--at") == 0) {
            if (i + 1 >= argc || !parseShowSeconds(argv[++i], options.atMs)) {
                return AUTHOR_BAD;
            }
        } else if (arg[0] == '-' || !options.mapName.empty()) {
            return AUTHOR_BAD;
        } else {
            options.mapName = arg;
        }
    }
    return options.mapName.empty() ? AUTHOR_BAD : AUTHOR_RUN;
}
