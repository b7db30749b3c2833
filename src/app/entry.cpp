// The process entry: command line, window, start-up in order, main loop.
#include "app/entry.h"

#include <cstdio>

int runSkarn(int argc, char** argv) {
    (void)argv;
    if (argc != 2) {
        printf("skarn nom_map\n");
        return 0;
    }
    return 0;
}
