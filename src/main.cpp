// Skarn: plays the show of one map. Usage: skarn nom_map
#include "app/entry.h"

int main(int argc, char** argv) {
    return runSkarn(argc, argv);
}
