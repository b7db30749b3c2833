// The music stream: version check and start of the sound library, the stream of
// "media/musique.mp3", its release at quit, and the English texts of the library's error codes.
#include "sound/music.h"

#include "base/show_files.h"

#include <cstdio>

//----------------------------------------------------------------------------------
// Defines
//----------------------------------------------------------------------------------
#define MUSIC_MIN_VERSION 3.5f   // lowest sound library version the music accepts
#define MUSIC_MIX_RATE 44100     // output mixing rate in Hz
#define MUSIC_MAX_CHANNELS 32    // software channels
#define MUSIC_INIT_FLAGS 2u      // global focus: the music goes on when the window loses focus
#define MUSIC_OPEN_MODE 0x22029u // loop off, 8-bit, mono, 2D, accurate seeking: plays once
#define MUSIC_OPEN_LENGTH 0      // the whole file
#define MUSIC_ERROR_COUNT 19     // codes 0 to 18 have a text

//----------------------------------------------------------------------------------
// Global state
//----------------------------------------------------------------------------------
SoundStream* musicStream = nullptr; // written by openMusic and closeMusic

static const char* const musicErrorTexts[MUSIC_ERROR_COUNT] = {
    "No errors",
    "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.",
    "This command failed because FSOUND_Init was not called",
    "Error initializing output device.",
    "The output device is already in use and cannot be reused.",
    "Playing the sound failed.",
    "Soundcard does not support the features needed for this soundsystem (16bit stereo output)",
    "Error setting cooperative level for hardware.",
    "Error creating hardware sound buffer.",
    "File not found",
    "Unknown file format",
    "Error loading file",
    "Not enough memory ",
    "The version number of this file format is not supported",
    "An invalid parameter was passed to this function",
    "Tried to use an EAX command on a non EAX enabled channel or output.",
    "Failed to allocate a new channel",
    "Recording not supported on this device",
    "Required Mediaplayer codec is not installed",
};

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------

// Checks the library's version and starts it: 0 ready, 1 too old, 2 refused.
int initMusic() {
    if (soundGetVersion() < MUSIC_MIN_VERSION) {
        printf("Erreur : Mauvaise version de DLL!  Vous devriez utiliser FMOD %.02f\n",
               MUSIC_MIN_VERSION);
        return 1;
    }
    if (!soundInit(MUSIC_MIX_RATE, MUSIC_MAX_CHANNELS, MUSIC_INIT_FLAGS)) {
        printf("%s\n", musicErrorText(soundGetError()));
        return 2;
    }
    printf("Veuillez patienter...INITIALISATION DE FMOD\n");
    return 0;
}

// Opens the music file as a stream into musicStream: 0 open, 1 not.
int openMusic() {
    musicStream = soundStreamOpenFile(SHOW_MUSIC_FILE, MUSIC_OPEN_MODE, MUSIC_OPEN_LENGTH);
    if (musicStream == nullptr) {
        printf("%s\n", musicErrorText(soundGetError()));
        return 1;
    }
    printf("Veuillez patienter...Chargement des sons\n");
    return 0;
}

// Closes the stream, then the library; musicStream is null afterwards.
void closeMusic() {
    soundStreamClose(musicStream);
    musicStream = nullptr;
    soundClose();
}

// The English sentence of a library error code; "Unknown error" outside 0 to 18.
const char* musicErrorText(int code) {
    if (code < 0 || code >= MUSIC_ERROR_COUNT) {
        return "Unknown error";
    }
    return musicErrorTexts[code];
}
