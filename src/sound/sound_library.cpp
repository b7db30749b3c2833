// The sound library's eight operations on top of the back end: the version check, the error
// codes of the music's table, and streams that play once from their beginning.
#include "sound/sound_library.h"

#include <new>
#include <vector>

#include "sound/sound_backend.h"

//----------------------------------------------------------------------------------
// Defines
//----------------------------------------------------------------------------------
#define SOUND_VERSION_READY 3.7f   // what the layer reports when the mixer has all it needs
#define SOUND_VERSION_LACKING 3.4f // below the 3.5 the music asks for

// Error codes (the music's table of texts)
#define SOUND_ERR_NONE 0
#define SOUND_ERR_INITIALISED 1   // a command that must come before init
#define SOUND_ERR_UNINITIALISED 2 // a command that needs init
#define SOUND_ERR_INIT 3          // the output device can't be opened
#define SOUND_ERR_PLAY 5          // playing the sound failed
#define SOUND_ERR_FILE_NOTFOUND 9
#define SOUND_ERR_FILE_FORMAT 10
#define SOUND_ERR_FILE_BAD 11
#define SOUND_ERR_MEMORY 12
#define SOUND_ERR_INVALID_PARAM 14

//----------------------------------------------------------------------------------
// Types and state
//----------------------------------------------------------------------------------
struct SoundStream {
    void* music; // the back end's handle; null once soundClose released it
};

struct SoundState {
    SoundBackend backend = platformSoundBackend(); // written by setSoundBackend only
    int initialised = 0;                   // 1 between a successful soundInit and soundClose
    int lastError = SOUND_ERR_NONE;        // code of the latest failure, 0 after a success
    SoundStream* playing = nullptr;        // the stream that owns the music channel
    std::vector<SoundStream*> openStreams; // streams whose music soundClose must release
};

static SoundState sound; // the layer's one state; only this file writes it

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------

// Replaces the back end (tests).
void setSoundBackend(const SoundBackend& backend) {
    sound.backend = backend;
}

// Reports 3.7 when the linked mixer is recent enough and decodes MP3, 3.4 otherwise.
float soundGetVersion() {
    int major = 0, minor = 0, patch = 0;
    sound.backend.linkedVersion(&major, &minor, &patch);
    bool recent = major != SOUND_MIN_MIXER_MAJOR   ? major > SOUND_MIN_MIXER_MAJOR
                  : minor != SOUND_MIN_MIXER_MINOR ? minor > SOUND_MIN_MIXER_MINOR
                                                   : patch >= SOUND_MIN_MIXER_PATCH;
    if (!recent || !sound.backend.initDecoders()) {
        return SOUND_VERSION_LACKING;
    }
    return SOUND_VERSION_READY;
}

// Opens the output; the flags are accepted and ignored (the output never follows the focus).
int soundInit(int mixRate, int maxChannels, unsigned int flags) {
    (void)flags;
    if (sound.initialised) {
        sound.lastError = SOUND_ERR_INITIALISED;
        return 0;
    }
    if (mixRate <= 0 || maxChannels <= 0) {
        sound.lastError = SOUND_ERR_INVALID_PARAM;
        return 0;
    }
    sound.backend.initDecoders();
    if (sound.backend.openOutput(mixRate, maxChannels) != 0) {
        sound.backend.quitDecoders();
        sound.lastError = SOUND_ERR_INIT;
        return 0;
    }
    sound.initialised = 1;
    sound.lastError = SOUND_ERR_NONE;
    return 1;
}

// Code of the latest failure of the layer.
int soundGetError() {
    return sound.lastError;
}

// Opens a music file as a stream; null with the error code set when it can't.
SoundStream* soundStreamOpenFile(const char* name, unsigned int mode, int length) {
    (void)mode;   // streams always play once, as the music asks (loop off)
    (void)length; // streams are always whole files
    if (!sound.initialised) {
        sound.lastError = SOUND_ERR_UNINITIALISED;
        return nullptr;
    }
    if (name == nullptr) {
        sound.lastError = SOUND_ERR_INVALID_PARAM;
        return nullptr;
    }
    int check = sound.backend.checkFile(name);
    if (check != SOUND_FILE_READABLE) {
        sound.lastError =
            check == SOUND_FILE_MISSING ? SOUND_ERR_FILE_NOTFOUND : SOUND_ERR_FILE_BAD;
        return nullptr;
    }
    void* music = sound.backend.loadMusic(name);
    if (music == nullptr) {
        sound.lastError = SOUND_ERR_FILE_FORMAT;
        return nullptr;
    }
    SoundStream* stream = new (std::nothrow) SoundStream{music};
    if (stream != nullptr) {
        sound.openStreams.push_back(stream);
    }
    if (stream == nullptr) {
        sound.backend.freeMusic(music);
        sound.lastError = SOUND_ERR_MEMORY;
        return nullptr;
    }
    sound.lastError = SOUND_ERR_NONE;
    return stream;
}

// Plays the stream from its beginning; 0 (the music channel) on success, -1 on failure.
int soundStreamPlay(int channel, SoundStream* stream) {
    (void)channel; // the music has one channel of its own
    if (stream == nullptr) {
        return -1;
    }
    if (stream->music == nullptr) {
        sound.lastError = SOUND_ERR_UNINITIALISED;
        return -1;
    }
    if (sound.backend.playMusic(stream->music, 0) != 0) {
        sound.playing = nullptr;
        sound.lastError = SOUND_ERR_PLAY;
        return -1;
    }
    sound.playing = stream;
    sound.lastError = SOUND_ERR_NONE;
    return 0;
}

// Stops the stream when it is the one playing; 1 when a stream was given.
int soundStreamStop(SoundStream* stream) {
    if (stream == nullptr) {
        return 0;
    }
    if (sound.playing == stream) {
        sound.backend.haltMusic();
        sound.playing = nullptr;
    }
    return 1;
}

void soundStreamPause(SoundStream* stream, int paused) {
    if (stream != nullptr && sound.playing == stream && sound.backend.pauseMusic) {
        sound.backend.pauseMusic(paused);
    }
}

int soundStreamPlayFrom(SoundStream* stream, double seconds) {
    int channel = soundStreamPlay(-1, stream);
    if (channel == 0 && seconds > 0.0 && sound.backend.seekMusic) {
        sound.backend.seekMusic(seconds);
    }
    return channel;
}

// Stops and releases the stream; 1 when a stream was given.
int soundStreamClose(SoundStream* stream) {
    if (stream == nullptr) {
        return 0;
    }
    if (stream->music != nullptr) {
        soundStreamStop(stream);
        sound.backend.freeMusic(stream->music);
        std::erase(sound.openStreams, stream);
    }
    delete stream;
    return 1;
}

// Closes the output and unloads the decoders. The music of streams still open is released
// first (the decoders go away); their records stay valid for a later soundStreamClose.
void soundClose() {
    if (!sound.initialised) {
        return;
    }
    if (sound.playing != nullptr) {
        sound.backend.haltMusic();
        sound.playing = nullptr;
    }
    for (SoundStream* stream : sound.openStreams) {
        sound.backend.freeMusic(stream->music);
        stream->music = nullptr;
    }
    sound.openStreams.clear();
    sound.backend.closeOutput();
    sound.backend.quitDecoders();
    sound.initialised = 0;
}
