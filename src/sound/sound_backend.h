// The sound layer's back end: the few mixer primitives the layer is built on, as a record of
// function pointers so that tests can put a double in place of SDL2_mixer.
#pragma once

//----------------------------------------------------------------------------------
// Answers of checkFile
//----------------------------------------------------------------------------------
#define SOUND_FILE_READABLE 0    // the file exists and can be opened for reading
#define SOUND_FILE_MISSING 9     // no such file
#define SOUND_FILE_UNREADABLE 11 // exists but can't be read (no permission, a directory)

struct SoundBackend {
    void (*linkedVersion)(int* major, int* minor, int* patch); // version of the linked mixer
    int (*initDecoders)();                           // non-zero when MP3 decoding is available
    void (*quitDecoders)();                          // unloads the decoders
    int (*openOutput)(int mixRate, int maxChannels); // 0 when the output device is open
    void (*closeOutput)();                           // closes the output device
    int (*checkFile)(const char* name);              // one of SOUND_FILE_*
    void* (*loadMusic)(const char* name);     // decoder handle, null when the format is unknown
    void (*freeMusic)(void* music);           // releases a handle of loadMusic
    int (*playMusic)(void* music, int loops); // from the beginning; 0 on success
    void (*haltMusic)();                      // stops whatever music plays
    // Authoring only: hold (1) or resume (0) the music; move it to `seconds` from its start.
    void (*pauseMusic)(int paused) = nullptr;
    int (*seekMusic)(double seconds) = nullptr; // 0 on success
};

// The SDL2_mixer back end (the desktop's).
const SoundBackend& sdlSoundBackend();

// The back end of the platform the program is built for (the layer's default).
const SoundBackend& platformSoundBackend();

// Replaces the back end for every later call of the layer (tests). Call it only while the
// layer is closed.
void setSoundBackend(const SoundBackend& backend);

// Mixer versions from which the layer has what it needs.
#define SOUND_MIN_MIXER_MAJOR 2
#define SOUND_MIN_MIXER_MINOR 0
#define SOUND_MIN_MIXER_PATCH 2
