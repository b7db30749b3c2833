// The sound layer's back end in the browser: the music file read from the packed folder into an
// audio element. A page may play sound only after a click or a key: a play refused for that
// waits, and the page's first click starts it at the show's place (skarnResumeMusic).
// Web back end only.
#include <cerrno>
#include <cstdio>
#include <emscripten.h>
#include <sys/stat.h>

#include "sound/sound_backend.h"

//----------------------------------------------------------------------------------
// Browser side
//----------------------------------------------------------------------------------
EM_JS(int, webLoadMusic, (const char* name), {
    try {
        var bytes = FS.readFile(UTF8ToString(name));
        var audio = new Audio(URL.createObjectURL(new Blob([bytes], {
            type:
                'audio/mpeg'
        })));
        audio.id = 'skarn-music';
        Module.skarnMusic = audio;
        Module.skarnMusicWaiting = false;
        // The page's first gesture starts a refused play where the show is by then.
        Module.skarnResumeMusic = function() {
            var music = Module.skarnMusic;
            if (music && Module.skarnMusicWaiting) {
                Module.skarnMusicWaiting = false;
                music.currentTime = (performance.now() - Module.skarnMusicStart) / 1000;
                music.play().catch(function() { Module.skarnMusicWaiting = true; });
            }
        };
        return 1;
    } catch (e) {
        return 0;
    }
});

EM_JS(int, webPlayMusic, (int loops), {
    var music = Module.skarnMusic;
    if (!music)
        return -1;
    music.loop = loops != 0;
    music.currentTime = 0;
    Module.skarnMusicStart = performance.now();
    Module.skarnMusicPlays = (Module.skarnMusicPlays || 0) + 1;
    Module.skarnMusicWaiting = false;
    music.play().catch(function() { Module.skarnMusicWaiting = true; });
    return 0;
});

EM_JS(void, webHaltMusic, (), {
    if (Module.skarnMusic)
        Module.skarnMusic.pause();
    Module.skarnMusicWaiting = false;
});

EM_JS(void, webPauseMusic, (int paused), {
    var music = Module.skarnMusic;
    if (!music)
        return;
    if (paused) {
        music.pause();
        Module.skarnMusicWaiting = false;
    } else {
        music.play().catch(function() { Module.skarnMusicWaiting = true; });
    }
});

// The show's place in the music: also where a play refused until a gesture will start.
EM_JS(int, webSeekMusic, (double seconds), {
    var music = Module.skarnMusic;
    if (!music)
        return -1;
    music.currentTime = seconds;
    Module.skarnMusicStart = performance.now() - seconds * 1000;
    return 0;
});

EM_JS(void, webFreeMusic, (), {
    if (Module.skarnMusic) {
        Module.skarnMusic.pause();
        URL.revokeObjectURL(Module.skarnMusic.src);
        Module.skarnMusic = null;
    }
});

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------

// The browser decodes MP3 itself; the version is the lowest the layer accepts.
static void webLinkedVersion(int* major, int* minor, int* patch) {
    *major = SOUND_MIN_MIXER_MAJOR;
    *minor = SOUND_MIN_MIXER_MINOR;
    *patch = SOUND_MIN_MIXER_PATCH;
}

static int webInitDecoders() {
    return 1;
}

static void webQuitDecoders() {}

static int webOpenOutput(int mixRate, int maxChannels) {
    (void)mixRate, (void)maxChannels;
    return 0;
}

static void webCloseOutput() {}

// Tells a missing file from one that exists but can't be read.
static int webCheckFile(const char* name) {
    struct stat info;
    if (stat(name, &info) != 0) {
        return (errno == ENOENT || errno == ENOTDIR) ? SOUND_FILE_MISSING : SOUND_FILE_UNREADABLE;
    }
    return S_ISREG(info.st_mode) ? SOUND_FILE_READABLE : SOUND_FILE_UNREADABLE;
}

// One audio element at a time: the show has one music file.
static void* webLoadMusicHandle(const char* name) {
    static int handle = 0;
    return webLoadMusic(name) ? &handle : nullptr;
}

static void webFreeMusicHandle(void* music) {
    (void)music;
    webFreeMusic();
}

static int webPlayMusicHandle(void* music, int loops) {
    (void)music;
    return webPlayMusic(loops);
}

const SoundBackend& platformSoundBackend() {
    static const SoundBackend backend = {webLinkedVersion,   webInitDecoders,    webQuitDecoders,
                                         webOpenOutput,      webCloseOutput,     webCheckFile,
                                         webLoadMusicHandle, webFreeMusicHandle, webPlayMusicHandle,
                                         webHaltMusic};
    return backend;
}
