// The SDL2_mixer back end of the sound layer: audio output, MP3 decoding and the music channel.
// SDL is started with its audio subsystem only, and without its signal handlers.
#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

#include "sound/sound_backend.h"

//----------------------------------------------------------------------------------
// Defines
//----------------------------------------------------------------------------------
#define SDL_MIX_CHUNK_SIZE 2048 // output buffer in sample frames: low enough latency for music

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------

// Reports the version of the SDL2_mixer the program runs with (not the one it was built with).
static void sdlLinkedVersion(int* major, int* minor, int* patch) {
    const SDL_version* version = Mix_Linked_Version();
    *major = version->major;
    *minor = version->minor;
    *patch = version->patch;
}

// Loads the MP3 decoder; non-zero when the mixer can decode MP3.
static int sdlInitDecoders() {
    return (Mix_Init(MIX_INIT_MP3) & MIX_INIT_MP3) != 0;
}

// Unloads every decoder.
static void sdlQuitDecoders() {
    Mix_Quit();
}

// Starts SDL's audio subsystem and opens the output device in 16-bit stereo; 0 when open.
static int sdlOpenOutput(int mixRate, int maxChannels) {
    // SDL would otherwise turn SIGINT and SIGTERM into events that nobody reads, and the
    // player could no longer be stopped by a signal.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return -1;
    }
    if (Mix_OpenAudio(mixRate, MIX_DEFAULT_FORMAT, 2, SDL_MIX_CHUNK_SIZE) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return -1;
    }
    Mix_AllocateChannels(maxChannels);
    return 0;
}

// Closes the output device and SDL's audio subsystem.
static void sdlCloseOutput() {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

// Tells a missing file from one that exists but can't be read, before the decoder sees it.
static int sdlCheckFile(const char* name) {
    struct stat info;
    if (stat(name, &info) != 0) {
        return (errno == ENOENT || errno == ENOTDIR) ? SOUND_FILE_MISSING : SOUND_FILE_UNREADABLE;
    }
    if (!S_ISREG(info.st_mode)) {
        return SOUND_FILE_UNREADABLE;
    }
    FILE* file = fopen(name, "rb");
    if (file == nullptr) {
        return SOUND_FILE_UNREADABLE;
    }
    fclose(file);
    return SOUND_FILE_READABLE;
}

// Opens a music file with the decoder its contents call for; null when none fits.
static void* sdlLoadMusic(const char* name) {
    return Mix_LoadMUS(name);
}

// Releases a music handle (stopping it first when it plays).
static void sdlFreeMusic(void* music) {
    Mix_FreeMusic(static_cast<Mix_Music*>(music));
}

// Plays a music handle from its beginning: once for loops 0, for ever for -1; 0 on success.
static int sdlPlayMusic(void* music, int loops) {
    return Mix_PlayMusic(static_cast<Mix_Music*>(music), loops);
}

// Stops the music channel.
static void sdlHaltMusic() {
    Mix_HaltMusic();
}

static void sdlPauseMusic(int paused) {
    if (paused) {
        Mix_PauseMusic();
    } else {
        Mix_ResumeMusic();
    }
}

static int sdlSeekMusic(double seconds) {
    return Mix_SetMusicPosition(seconds);
}

// The SDL2_mixer back end.
const SoundBackend& sdlSoundBackend() {
    static const SoundBackend backend = {sdlLinkedVersion, sdlInitDecoders, sdlQuitDecoders,
                                         sdlOpenOutput,    sdlCloseOutput,  sdlCheckFile,
                                         sdlLoadMusic,     sdlFreeMusic,    sdlPlayMusic,
                                         sdlHaltMusic,     sdlPauseMusic,   sdlSeekMusic};
    return backend;
}

// The desktop plays through SDL2_mixer.
const SoundBackend& platformSoundBackend() {
    return sdlSoundBackend();
}
