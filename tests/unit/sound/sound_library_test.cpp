// The sound layer over a test double of the mixer (version, error codes, console lines, call
// order), then on the real SDL2_mixer with SDL's disk driver for a sound card.
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "sound/music.h"
#include "sound/sound_backend.h"
#include "support/test_files.h"

namespace {

struct FakeMixer {
    int major = 2, minor = 6, patch = 2; // linked mixer version
    int hasMp3 = 1, openResult = 0, fileCheck = SOUND_FILE_READABLE, loadFails = 0, playResult = 0;
    intptr_t nextHandle = 1;
    std::vector<std::string> log; // "playMusic 0x1 0", ...
};

FakeMixer fakeMixer;

template <typename... Args> int note(int answer, const char* name, Args... args) {
    std::ostringstream call;
    call << name;
    ((call << ' ' << args), ...);
    fakeMixer.log.push_back(call.str());
    return answer;
}

void installFakeMixer() {
    fakeMixer = FakeMixer{};
    static const SoundBackend backend = {
        [](int* a, int* b, int* c) {
            *a = fakeMixer.major, *b = fakeMixer.minor, *c = fakeMixer.patch;
        },
        [] { return note(fakeMixer.hasMp3, "initDecoders"); },
        [] { note(0, "quitDecoders"); },
        [](int rate, int n) { return note(fakeMixer.openResult, "openOutput", rate, n); },
        [] { note(0, "closeOutput"); },
        [](const char* name) { return note(fakeMixer.fileCheck, "checkFile", name); },
        [](const char* name) -> void* {
            note(0, "loadMusic", name);
            return fakeMixer.loadFails ? nullptr : reinterpret_cast<void*>(fakeMixer.nextHandle++);
        },
        [](void* music) { note(0, "freeMusic", music); },
        [](void* music, int loops) {
            return note(fakeMixer.playResult, "playMusic", music, loops);
        },
        [] { note(0, "haltMusic"); }};
    setSoundBackend(backend);
}

int fakeCalls(const std::string& call) {
    return static_cast<int>(std::count(fakeMixer.log.begin(), fakeMixer.log.end(), call));
}

struct SoundLayer : testing::Test {
    void SetUp() override {
        installFakeMixer();
    }
    void TearDown() override {
        soundClose();
        setSoundBackend(sdlSoundBackend());
    }
};

const unsigned int playOnce = 0x22029; // the music's mode: loop off

bool failedWith(bool failed, int code) {
    return failed && soundGetError() == code;
}

TEST_F(SoundLayer, FailuresMapOntoTheirCodesAndNullStreamsDoNothing) {
    fakeMixer.hasMp3 = 0; // a mixer without its MP3 decoder is too old too
    EXPECT_LT(soundGetVersion(), 3.5f);
    fakeMixer.hasMp3 = 1;
    EXPECT_TRUE(failedWith(soundStreamOpenFile("a.mp3", playOnce, 0) == nullptr, 2));
    fakeMixer.openResult = -1;
    EXPECT_TRUE(failedWith(soundInit(44100, 32, 2) == 0, 3));
    EXPECT_TRUE(failedWith(soundStreamOpenFile("a.mp3", playOnce, 0) == nullptr, 2));
    EXPECT_EQ(fakeCalls("checkFile a.mp3"), 0);
    fakeMixer.openResult = 0;
    ASSERT_NE(soundInit(44100, 32, 2), 0);
    EXPECT_TRUE(failedWith(soundInit(44100, 32, 2) == 0, 1));
    EXPECT_EQ(fakeCalls("openOutput 44100 32"), 2);
    const int cases[][3] = {{SOUND_FILE_MISSING, 0, 9}, {SOUND_FILE_UNREADABLE, 0, 11}, {0, 1, 10}};
    for (const auto& c : cases) {
        fakeMixer.fileCheck = c[0], fakeMixer.loadFails = c[1];
        EXPECT_TRUE(failedWith(soundStreamOpenFile("x.mp3", playOnce, 0) == nullptr, c[2])) << c[2];
    }
    EXPECT_EQ(fakeCalls("loadMusic x.mp3"), 1);
    fakeMixer.fileCheck = SOUND_FILE_READABLE, fakeMixer.loadFails = 0, fakeMixer.playResult = -1;
    SoundStream* stream = soundStreamOpenFile("y.mp3", playOnce, 0);
    EXPECT_TRUE(failedWith(soundStreamPlay(-1, stream) == -1, 5));
    soundClose();
    EXPECT_TRUE(failedWith(soundStreamPlay(-1, stream) == -1, 2)); // closed with the layer
    size_t calls = fakeMixer.log.size();
    soundStreamPlay(-1, nullptr);
    soundStreamStop(nullptr);
    soundStreamClose(nullptr);
    EXPECT_TRUE(fakeMixer.log.size() == calls && soundGetError() == 2);
    EXPECT_EQ(soundStreamClose(stream), 1); // the record outlives the layer until closed
}

// Init, open, a restart (stop then play) and quit: console lines and mixer calls; a failed open
// leaves a null stream that restarts pass on silently.
TEST_F(SoundLayer, LinesAndLibraryCallsFromInitToQuit) {
    const char* waitInit = "Veuillez patienter...INITIALISATION DE FMOD\n";
    const char* notInit = "This command failed because FSOUND_Init was not called\n";
    const struct {
        int patch, openResult, fileCheck, init;
        const char *initLine, *openLine, *restartAndQuit;
    } cases[] = {
        {1, 0, 0, 1, "Erreur : Mauvaise version de DLL!  Vous devriez utiliser FMOD 3.50\n",
         notInit, ""},
        {2, -1, 0, 2, "Error initializing output device.\n", notInit, ""},
        {2, 0, SOUND_FILE_MISSING, 0, waitInit, "File not found\n", "closeOutput quitDecoders "},
        {2, 0, 0, 0, waitInit, "Veuillez patienter...Chargement des sons\n",
         "playMusic 0x1 0 haltMusic freeMusic 0x1 closeOutput quitDecoders "},
    };
    for (const auto& c : cases) {
        installFakeMixer();
        fakeMixer.minor = 0, fakeMixer.patch = c.patch; // 2.0.2 is the oldest mixer taken
        fakeMixer.openResult = c.openResult, fakeMixer.fileCheck = c.fileCheck;
        int result = 0;
        EXPECT_EQ(printedBy([&] { result = initMusic(); }), c.initLine);
        EXPECT_TRUE(result == c.init && fakeCalls("openOutput 44100 32") == (c.patch == 2));
        const bool opens = std::string(c.restartAndQuit).find("play") != std::string::npos;
        EXPECT_EQ(printedBy([&] { result = openMusic(); }), c.openLine);
        EXPECT_TRUE(result == !opens && (musicStream != nullptr) == opens &&
                    fakeCalls("loadMusic media/musique.mp3") == opens);
        fakeMixer.log.clear();
        EXPECT_EQ(printedBy([] {
                      soundStreamStop(musicStream);
                      soundStreamPlay(-1, musicStream);
                      closeMusic();
                  }),
                  "");
        std::string calls;
        for (const std::string& call : fakeMixer.log) {
            calls += call + " ";
        }
        EXPECT_EQ(calls, c.restartAndQuit);
        EXPECT_EQ(musicStream, nullptr);
    }
}

TEST(RealMixer, NoDeviceFileCodesAndSignals) {
    EXPECT_GE(soundGetVersion(), 3.5f);
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_TRUE(failedWith(soundInit(44100, 32, 2) == 0, 3));
    const std::string dir = makeScratchDir();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", (dir + "/out.raw").c_str(), 1);
    ASSERT_NE(soundInit(44100, 32, 2), 0);
    mkdir((dir + "/folder.mp3").c_str(), 0755);
    writeTextFile(dir + "/text.mp3", "this is not music\n");
    writeTextFile(dir + "/empty.mp3", "");
    std::pair<const char*, int> cases[] = {
        {"/missing.mp3", 9}, {"/folder.mp3", 11}, {"/text.mp3", 10}, {"/empty.mp3", 10}};
    for (auto [name, code] : cases) {
        EXPECT_TRUE(
            failedWith(soundStreamOpenFile((dir + name).c_str(), playOnce, 0) == nullptr, code))
            << name;
    }
    // The mixer must leave the termination signals to the process.
    for (int signal : {SIGTERM, SIGINT}) {
        struct sigaction action;
        ASSERT_EQ(sigaction(signal, nullptr, &action), 0);
        EXPECT_EQ(action.sa_handler, SIG_DFL) << signal;
    }
    soundClose();
    removeScratchDir(dir);
}

// The table's ends and its odd spacing (two spaces in text 1, a trailing space in text 12; the
// texts the layer's failures print are checked above), and every code outside it unknown.
TEST(MusicErrorText, TableEndsThenUnknown) {
    const std::pair<int, const char*> cases[] = {
        {0, "No errors"},
        {1, "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first."},
        {12, "Not enough memory "},
        {18, "Required Mediaplayer codec is not installed"},
        {19, "Unknown error"},
        {-1, "Unknown error"},
        {INT32_MIN, "Unknown error"}};
    for (const auto& [code, text] : cases) {
        EXPECT_STREQ(musicErrorText(code), text) << code;
    }
}

} // namespace
