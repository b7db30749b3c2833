// Test double of the sound back end: answers set by the test, every call written to a log.
#pragma once

#include <string>
#include <vector>

#include "sound/sound_backend.h"

struct FakeMixer {
    int major = 2, minor = 6, patch = 2; // linked mixer version
    int hasMp3 = 1;                      // answer of initDecoders
    int openResult = 0;                  // answer of openOutput
    int fileCheck = SOUND_FILE_READABLE; // answer of checkFile
    int loadFails = 0;                   // loadMusic answers null
    int playResult = 0;                  // answer of playMusic
    int nextHandle = 1;                  // handles are small counting numbers
    std::vector<std::string> log;        // "openOutput 44100 32", "playMusic 1 0", ...
};

extern FakeMixer fakeMixer;

// Resets fakeMixer and installs the double as the layer's back end.
void installFakeMixer();

// Puts the SDL back end back after closing the layer.
void removeFakeMixer();

// Calls in the log whose text begins with prefix.
int fakeCalls(const std::string& prefix);
