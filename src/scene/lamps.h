// Lamps: the lamp records of a map file, read without GL. Scene side; the lights' set-up is
// render/lamps_gl.
#pragma once

#include <vector>

#include "base/map_format.h"
#include "base/text_reader.h"
#include "scene/load_hooks.h"

#define LAMP_RECORD_BYTES 38 // smallest record: "position:0 0 0 couleur:0 0 0 intensite:0"

// One lamp record, alive only while the lamps are set up.
struct Lamp {
    int index;             // place in the section; the lamp is light GL_LIGHT0 + index
    float position[4];     // x, y, z from the file, w 1 (a point light)
    float colour[4];       // r, g, b from the file, a the intensity
    int64_t line;          // line of the record's "position" word, for messages
    int64_t colourLine;    // line of the colour values, for messages
    int64_t intensityLine; // line of the intensity value, for messages
};

// Reads `count` lamp records (position, colour, intensity) without touching OpenGL. Returns
// false with the reader's error set when a record breaks the grammar or the count can't fit.
bool parseLamps(TextReader& reader, int count, std::vector<Lamp>& lamps);

// Prints "Chargement lampe <i> ..." for each lamp and hands it to hooks.lamp, in order.
void loadLamps(const std::vector<Lamp>& lamps, const SceneLoadHooks& hooks);
