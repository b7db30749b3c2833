// Keys: the keyboard commands. App side.
#pragma once

#define KEY_ESCAPE 27
#define CURSOR_NONE 101 // the toolkit's "no cursor"

// Keyboard callback: one entry per character code; keys outside the table do nothing.
void onKey(unsigned char key, int x, int y);
