// Lamps: lamp records of the map file, handed to the load's lamp hook as they are read.
#include "scene/lamps.h"

#include <cstdio>

bool parseLamps(TextReader& reader, int count, std::vector<Lamp>& lamps) {
    lamps.clear();
    if (!readerCountFits(reader, count, LAMP_RECORD_BYTES, reader.line, "lamp")) {
        return false;
    }
    lamps.reserve((size_t)count);
    for (int i = 0; i < count; ++i) {
        Lamp lamp = {i, {0, 0, 0, 1.0f}, {0, 0, 0, 0}, 0, 0, 0};
        readerSkipSpace(reader);
        lamp.line = reader.line;
        if (!readerExpect(reader, "position :") ||
            !readerFloat3(reader, lamp.position[0], lamp.position[1], lamp.position[2]) ||
            !readerExpect(reader, "\ncouleur :")) {
            return false;
        }
        readerSkipSpace(reader);
        lamp.colourLine = reader.line;
        if (!readerFloat3(reader, lamp.colour[0], lamp.colour[1], lamp.colour[2]) ||
            !readerExpect(reader, "\nintensite :")) {
            return false;
        }
        readerSkipSpace(reader);
        lamp.intensityLine = reader.line;
        if (!readerFloat(reader, lamp.colour[3])) {
            return false;
        }
        readerSkipSpace(reader);
        lamps.push_back(lamp);
    }
    return true;
}

void loadLamps(const std::vector<Lamp>& lamps, const SceneLoadHooks& hooks) {
    for (const Lamp& lamp : lamps) {
        printf("Chargement lampe %d ...\n", lamp.index);
        if (hooks.lamp != nullptr) {
            hooks.lamp(lamp);
        }
    }
}
