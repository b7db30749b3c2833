// Test double of the sound back end (see fake_mixer.h).
#include "fake_mixer.h"

#include <cstdint>

#include "sound/sound_library.h"

FakeMixer fakeMixer;

static void fakeLinkedVersion(int* major, int* minor, int* patch) {
    *major = fakeMixer.major;
    *minor = fakeMixer.minor;
    *patch = fakeMixer.patch;
}

static int fakeInitDecoders() {
    fakeMixer.log.push_back("initDecoders");
    return fakeMixer.hasMp3;
}

static void fakeQuitDecoders() {
    fakeMixer.log.push_back("quitDecoders");
}

static int fakeOpenOutput(int mixRate, int maxChannels) {
    fakeMixer.log.push_back("openOutput " + std::to_string(mixRate) + " " +
                            std::to_string(maxChannels));
    return fakeMixer.openResult;
}

static void fakeCloseOutput() {
    fakeMixer.log.push_back("closeOutput");
}

static int fakeCheckFile(const char* name) {
    fakeMixer.log.push_back(std::string("checkFile ") + name);
    return fakeMixer.fileCheck;
}

static void* fakeLoadMusic(const char* name) {
    fakeMixer.log.push_back(std::string("loadMusic ") + name);
    if (fakeMixer.loadFails) {
        return nullptr;
    }
    return reinterpret_cast<void*>(static_cast<intptr_t>(fakeMixer.nextHandle++));
}

static void fakeFreeMusic(void* music) {
    fakeMixer.log.push_back("freeMusic " + std::to_string(reinterpret_cast<intptr_t>(music)));
}

static int fakePlayMusic(void* music, int loops) {
    fakeMixer.log.push_back("playMusic " + std::to_string(reinterpret_cast<intptr_t>(music)) + " " +
                            std::to_string(loops));
    return fakeMixer.playResult;
}

static void fakeHaltMusic() {
    fakeMixer.log.push_back("haltMusic");
}

void installFakeMixer() {
    fakeMixer = FakeMixer{};
    static const SoundBackend backend = {
        fakeLinkedVersion, fakeInitDecoders, fakeQuitDecoders, fakeOpenOutput, fakeCloseOutput,
        fakeCheckFile,     fakeLoadMusic,    fakeFreeMusic,    fakePlayMusic,  fakeHaltMusic};
    setSoundBackend(backend);
}

void removeFakeMixer() {
    soundClose();
    setSoundBackend(sdlSoundBackend());
}

int fakeCalls(const std::string& prefix) {
    int count = 0;
    for (const std::string& call : fakeMixer.log) {
        count += call.rfind(prefix, 0) == 0;
    }
    return count;
}
