// The recorder's command line: the frame rate, the map and the output file, checked before
// anything starts. Record side: no GL, no toolkit.
#include "record/record_options.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <strings.h>

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------

const char* recordUsage() {
    return "skarn-record [--fps N] [--times] [--at SECONDES] [--to SECONDES] nom_map SORTIE.mp4\n";
}

// A whole decimal number within [RECORD_MIN_FPS, RECORD_MAX_FPS]; false otherwise.
static bool readFps(const std::string& text, int& fps) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    long value = strtol(text.c_str(), nullptr, 10);
    if (value < RECORD_MIN_FPS || value > RECORD_MAX_FPS) {
        return false;
    }
    fps = (int)value;
    return true;
}

// Seconds of show time, decimals allowed, within [0, 140]; whole milliseconds in `ms`.
static bool readShowTime(const std::string& text, int& ms) {
    char* end = nullptr;
    double seconds = strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(seconds) || seconds < 0.0 ||
        seconds > 140.0) {
        return false;
    }
    ms = (int)std::lround(seconds * 1000.0);
    return true;
}

// True when `path` names a file ending in ".mp4" (any case) with a name before it.
static bool hasMp4Extension(const std::string& path) {
    size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.size() > 4 && strcasecmp(name.c_str() + name.size() - 4, ".mp4") == 0;
}

bool parseRecordOptions(int argc, const char* const* argv, RecordOptions& options,
                        std::string& error) {
    std::string positional[2];
    int positionalCount = 0;
    bool optionsEnded = false;
    for (int i = 1; i < argc; i++) {
        std::string arg = argv[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--fps" || arg.rfind("--fps=", 0) == 0)) {
            std::string value;
            if (arg == "--fps") {
                if (i + 1 >= argc) {
                    error = "--fps attend un nombre d'images par seconde (1 \xe0 240)";
                    return false;
                }
                value = argv[++i];
            } else {
                value = arg.substr(6);
            }
            if (!readFps(value, options.fps)) {
                error = "--fps \"" + value + "\" : un nombre entier de 1 \xe0 240 est attendu";
                return false;
            }
        } else if (!optionsEnded && (arg == "--at" || arg == "--to")) {
            int& ms = arg == "--at" ? options.atMs : options.toMs;
            if (i + 1 >= argc || !readShowTime(argv[i + 1], ms)) {
                error = arg + " attend un temps du spectacle en secondes (0 \xe0 140)";
                return false;
            }
            i++;
        } else if (!optionsEnded && arg == "--times") {
            options.showTimes = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            options.showUsage = true;
            return true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            error = "option inconnue \"" + arg + "\"";
            return false;
        } else {
            if (positionalCount == 2) {
                error = "trop d'arguments (\"" + arg + "\" en plus)";
                return false;
            }
            positional[positionalCount++] = arg;
        }
    }
    if (positionalCount < 2) {
        error = positionalCount == 0 ? "il manque le nom de la map et le fichier de sortie"
                                     : "il manque le fichier de sortie";
        return false;
    }
    if (positional[0].empty()) {
        error = "le nom de la map est vide";
        return false;
    }
    if (!hasMp4Extension(positional[1])) {
        error = "\"" + positional[1] + "\" : le fichier de sortie doit finir par .mp4";
        return false;
    }
    if (options.toMs >= 0 && options.toMs <= options.atMs) {
        error = "--to doit suivre --at";
        return false;
    }
    options.mapName = positional[0];
    options.outputPath = positional[1];
    return true;
}
