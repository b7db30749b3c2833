// The sound layer and the music stream over a test double of the mixer back end: version check,
// error codes, null streams, console lines and the order of the mixer calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "sound/music.h"
#include "sound/sound_backend.h"

namespace {

struct FakeMixer {
    int major = 2, minor = 6, patch = 2; // linked mixer version
    int hasMp3 = 1, openResult = 0, fileCheck = SOUND_FILE_READABLE, loadFails = 0, playResult = 0;
    intptr_t nextHandle = 1;
    std::vector<std::string> log; // "openOutput 44100 32", "playMusic 0x1 0", ...
};

FakeMixer fakeMixer;

// Logs one call with its arguments (handles in hex) and gives the answer back.
template <typename... Args> int note(int answer, const char* name, Args... args) {
    std::ostringstream call;
    call << name;
    ((call << ' ' << args), ...);
    fakeMixer.log.push_back(call.str());
    return answer;
}

// Resets fakeMixer and installs the double as the layer's back end.
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

// Calls in the log equal to call.
int fakeCalls(const std::string& call) {
    return static_cast<int>(std::count(fakeMixer.log.begin(), fakeMixer.log.end(), call));
}

// Installs the double for each test; closes the layer and puts the SDL back end back after it.
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

TEST_F(SoundLayer, VersionIsBelowMinimumWhenTheMixerLacksSomething) {
    struct Case {
        int major, minor, patch, mp3;
        bool ready;
    } cases[] = {{2, 6, 2, 1, true},  {2, 0, 2, 1, true},  {3, 0, 0, 1, true}, {2, 1, 0, 1, true},
                 {2, 0, 1, 1, false}, {1, 9, 9, 1, false}, {2, 6, 2, 0, false}};
    for (const Case& c : cases) {
        fakeMixer.major = c.major, fakeMixer.minor = c.minor, fakeMixer.patch = c.patch;
        fakeMixer.hasMp3 = c.mp3;
        EXPECT_EQ(soundGetVersion() >= 3.5f, c.ready) << c.major << c.minor << c.patch << c.mp3;
    }
}

TEST_F(SoundLayer, FailuresMapOntoTheirCodesAndNullStreamsDoNothing) {
    // Opening before init touches no file; a refused output leaves the layer closed.
    EXPECT_EQ(soundStreamOpenFile("a.mp3", playOnce, 0), nullptr);
    EXPECT_EQ(soundGetError(), 2);
    fakeMixer.openResult = -1;
    EXPECT_EQ(soundInit(44100, 32, 2), 0);
    EXPECT_EQ(soundGetError(), 3);
    EXPECT_EQ(soundStreamOpenFile("a.mp3", playOnce, 0), nullptr);
    EXPECT_EQ(soundGetError(), 2);
    EXPECT_EQ(fakeCalls("checkFile a.mp3"), 0);
    fakeMixer.openResult = 0;
    ASSERT_NE(soundInit(44100, 32, 2), 0);
    EXPECT_EQ(soundInit(44100, 32, 2), 0);
    EXPECT_EQ(soundGetError(), 1);
    EXPECT_EQ(fakeCalls("openOutput 44100 32"), 2);
    struct Case {
        int check, loadFails, code;
    } cases[] = {{SOUND_FILE_MISSING, 0, 9}, {SOUND_FILE_UNREADABLE, 0, 11}, {0, 1, 10}};
    for (const Case& c : cases) {
        fakeMixer.fileCheck = c.check, fakeMixer.loadFails = c.loadFails;
        EXPECT_EQ(soundStreamOpenFile("x.mp3", playOnce, 0), nullptr);
        EXPECT_EQ(soundGetError(), c.code);
    }
    EXPECT_EQ(fakeCalls("loadMusic x.mp3"), 1);
    size_t calls = fakeMixer.log.size();
    soundStreamPlay(-1, nullptr);
    soundStreamStop(nullptr);
    soundStreamClose(nullptr);
    EXPECT_EQ(fakeMixer.log.size(), calls);
    EXPECT_EQ(soundGetError(), 10);
}

TEST_F(SoundLayer, PlayStopAndCloseReachTheMixerInOrder) {
    ASSERT_NE(soundInit(44100, 32, 2), 0);
    SoundStream* first = soundStreamOpenFile("a.mp3", playOnce, 0);
    SoundStream* second = soundStreamOpenFile("b.mp3", playOnce, 0);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(soundGetError(), 0);
    fakeMixer.log.clear();
    soundStreamStop(first); // never played: nothing to halt
    fakeMixer.playResult = -1;
    EXPECT_EQ(soundStreamPlay(-1, first), -1);
    EXPECT_EQ(soundGetError(), 5);
    soundStreamStop(first); // the failed play left nothing playing
    fakeMixer.playResult = 0;
    EXPECT_EQ(soundStreamPlay(-1, first), 0);
    soundStreamStop(second); // not the playing one
    EXPECT_EQ(soundStreamStop(first), 1);
    EXPECT_EQ(soundStreamPlay(-1, first), 0); // again from the start, loop off
    EXPECT_EQ(soundStreamClose(second), 1);
    soundClose(); // halts and releases the stream left open, then output and decoders
    EXPECT_EQ(soundStreamPlay(-1, first), -1);
    EXPECT_EQ(soundGetError(), 2);
    EXPECT_EQ(soundStreamClose(first), 1);
    std::vector<std::string> expected = {"playMusic 0x1 0", "playMusic 0x1 0", "haltMusic",
                                         "playMusic 0x1 0", "freeMusic 0x2",   "haltMusic",
                                         "freeMusic 0x1",   "closeOutput",     "quitDecoders"};
    EXPECT_EQ(fakeMixer.log, expected);
}

// Runs step and returns its result and what it printed on stdout.
std::pair<int, std::string> printedBy(int (*step)()) {
    testing::internal::CaptureStdout();
    int result = step();
    return {result, testing::internal::GetCapturedStdout()};
}

TEST(MusicErrorText, NineteenDistinctTextsWithTheirExactSpacing) {
    EXPECT_STREQ(musicErrorText(0), "No errors");
    EXPECT_STREQ(musicErrorText(1),
                 "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.");
    EXPECT_STREQ(musicErrorText(12), "Not enough memory ");
    EXPECT_STREQ(musicErrorText(18), "Required Mediaplayer codec is not installed");
    std::set<std::string> distinct;
    for (int code = 0; code <= 18; ++code) {
        distinct.insert(musicErrorText(code));
    }
    EXPECT_EQ(distinct.size(), 19u);
    EXPECT_EQ(distinct.count("Unknown error"), 0u);
    EXPECT_STREQ(musicErrorText(19), "Unknown error");
    EXPECT_STREQ(musicErrorText(-1), "Unknown error");
}

// Each case runs the music's life: init, open, a restart (stop then play), quit.
TEST_F(SoundLayer, LinesAndLibraryCallsFromInitToQuit) {
    const std::string waitInit = "Veuillez patienter...INITIALISATION DE FMOD\n";
    const std::string notInit = "This command failed because FSOUND_Init was not called\n";
    const std::vector<std::string> closeLibrary = {"closeOutput", "quitDecoders"};
    struct Case {
        int minor, patch, openResult, fileCheck;
        std::pair<int, std::string> init, open;
        std::vector<std::string> restartAndQuit;
    } cases[] = {
        {0,
         1,
         0,
         0,
         {1, "Erreur : Mauvaise version de DLL!  Vous devriez utiliser FMOD 3.50\n"},
         {1, notInit},
         {}},
        {6, 2, -1, 0, {2, "Error initializing output device.\n"}, {1, notInit}, {}},
        {6, 2, 0, SOUND_FILE_MISSING, {0, waitInit}, {1, "File not found\n"}, closeLibrary},
        {6,
         2,
         0,
         0,
         {0, waitInit},
         {0, "Veuillez patienter...Chargement des sons\n"},
         {"playMusic 0x1 0", "haltMusic", "freeMusic 0x1", "closeOutput", "quitDecoders"}},
    };
    for (const Case& c : cases) {
        installFakeMixer();
        fakeMixer.minor = c.minor, fakeMixer.patch = c.patch;
        fakeMixer.openResult = c.openResult, fakeMixer.fileCheck = c.fileCheck;
        EXPECT_EQ(printedBy(initMusic), c.init);
        EXPECT_EQ(fakeCalls("openOutput 44100 32"), c.patch == 2);
        EXPECT_EQ(printedBy(openMusic), c.open);
        EXPECT_EQ(musicStream != nullptr, c.open.first == 0);
        EXPECT_EQ(fakeCalls("loadMusic media/musique.mp3"), c.open.first == 0);
        // A failed open leaves a null stream that restarts pass on silently.
        fakeMixer.log.clear();
        testing::internal::CaptureStdout();
        soundStreamStop(musicStream);
        soundStreamPlay(-1, musicStream);
        closeMusic();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
        EXPECT_EQ(fakeMixer.log, c.restartAndQuit);
        EXPECT_EQ(musicStream, nullptr);
    }
}

} // namespace
