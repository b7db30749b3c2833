// The music stream: "media/musique.mp3" played through the sound library.
#pragma once

#include "sound/sound_library.h"

extern SoundStream* musicStream; // null before openMusic and when the open failed

int initMusic();   // 0 ready, 1 library too old, 2 initialisation refused
int openMusic();   // 0 open, 1 can't be opened
void closeMusic(); // closes the stream, then the library
const char* musicErrorText(int code);
