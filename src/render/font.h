// Texture-mapped bitmap font: 256 glyph display lists from a 16 x 16 grid picture.
#pragma once

// Written by loadFont and buildFontLists only (and tests).
extern unsigned int fontTexture;  // 0 until loaded
extern unsigned int fontListBase; // first of 256 glyph lists in 512 names; 0 until built

void loadFont();
void buildFontLists(unsigned int texture);

// Writes formatted text at (x, y) of the 640 x 480 overlay, in font set 0 or 1.
void printText(int x, int y, int set, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
