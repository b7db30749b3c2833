// The sound layer over a test double: version check, error codes, null streams, play and stop.
#include <gtest/gtest.h>

#include "fake_mixer.h"
#include "sound/sound_library.h"

namespace {

const unsigned int playOnce = 0x22029; // the music's mode: loop off

struct SoundLayer : testing::Test {
    void SetUp() override {
        installFakeMixer();
    }
    void TearDown() override {
        removeFakeMixer();
    }
};

// Starts the layer on the double and opens one stream.
SoundStream* openOne() {
    EXPECT_NE(soundInit(44100, 32, 2), 0);
    SoundStream* stream = soundStreamOpenFile("a.mp3", playOnce, 0);
    EXPECT_NE(stream, nullptr);
    return stream;
}

TEST_F(SoundLayer, VersionIsBelowMinimumWhenTheMixerLacksSomething) {
    struct Case {
        int major, minor, patch, mp3;
        bool ready;
    } cases[] = {
        {2, 6, 2, 1, true},  {2, 0, 2, 1, true},  {3, 0, 0, 1, true},  {2, 1, 0, 1, true},
        {2, 0, 1, 1, false}, {1, 9, 9, 1, false}, {2, 6, 2, 0, false},
    };
    for (const Case& c : cases) {
        fakeMixer.major = c.major;
        fakeMixer.minor = c.minor;
        fakeMixer.patch = c.patch;
        fakeMixer.hasMp3 = c.mp3;
        float version = soundGetVersion();
        EXPECT_EQ(version >= 3.5f, c.ready)
            << c.major << "." << c.minor << "." << c.patch << " mp3 " << c.mp3 << ": " << version;
    }
}

TEST_F(SoundLayer, OutputThatCannotOpenIsCode3AndLeavesTheLayerClosed) {
    fakeMixer.openResult = -1;
    EXPECT_EQ(soundInit(44100, 32, 2), 0);
    EXPECT_EQ(soundGetError(), 3);
    EXPECT_EQ(fakeCalls("openOutput 44100 32"), 1);
    EXPECT_EQ(soundStreamOpenFile("a.mp3", playOnce, 0), nullptr);
    EXPECT_EQ(soundGetError(), 2);
    soundClose();
    EXPECT_EQ(fakeCalls("closeOutput"), 0);
}

TEST_F(SoundLayer, OpeningBeforeInitIsCode2WithoutTouchingTheFile) {
    EXPECT_EQ(soundStreamOpenFile("a.mp3", playOnce, 0), nullptr);
    EXPECT_EQ(soundGetError(), 2);
    EXPECT_EQ(fakeCalls("checkFile"), 0);
    EXPECT_EQ(fakeCalls("loadMusic"), 0);
}

TEST_F(SoundLayer, SecondInitIsRefusedWithCode1) {
    ASSERT_NE(soundInit(44100, 32, 2), 0);
    EXPECT_EQ(soundGetError(), 0);
    EXPECT_EQ(soundInit(44100, 32, 2), 0);
    EXPECT_EQ(soundGetError(), 1);
    EXPECT_EQ(fakeCalls("openOutput"), 1);
}

TEST_F(SoundLayer, FileFailuresMapOntoTheirCodes) {
    ASSERT_NE(soundInit(44100, 32, 2), 0);
    fakeMixer.fileCheck = SOUND_FILE_MISSING;
    EXPECT_EQ(soundStreamOpenFile("gone.mp3", playOnce, 0), nullptr);
    EXPECT_EQ(soundGetError(), 9);
    fakeMixer.fileCheck = SOUND_FILE_UNREADABLE;
    EXPECT_EQ(soundStreamOpenFile("locked.mp3", playOnce, 0), nullptr);
    EXPECT_EQ(soundGetError(), 11);
    EXPECT_EQ(fakeCalls("loadMusic"), 0);
    fakeMixer.fileCheck = SOUND_FILE_READABLE;
    fakeMixer.loadFails = 1;
    EXPECT_EQ(soundStreamOpenFile("text.mp3", playOnce, 0), nullptr);
    EXPECT_EQ(soundGetError(), 10);
    fakeMixer.loadFails = 0;
    SoundStream* stream = soundStreamOpenFile("good.mp3", playOnce, 0);
    EXPECT_NE(stream, nullptr);
    EXPECT_EQ(soundGetError(), 0);
    soundStreamClose(stream);
}

TEST_F(SoundLayer, NullStreamDoesNothingAndReportsNothing) {
    ASSERT_NE(soundInit(44100, 32, 2), 0);
    fakeMixer.fileCheck = SOUND_FILE_MISSING;
    EXPECT_EQ(soundStreamOpenFile("gone.mp3", playOnce, 0), nullptr);
    size_t calls = fakeMixer.log.size();
    soundStreamPlay(-1, nullptr);
    soundStreamStop(nullptr);
    soundStreamClose(nullptr);
    EXPECT_EQ(fakeMixer.log.size(), calls);
    EXPECT_EQ(soundGetError(), 9);
}

TEST_F(SoundLayer, PlayAfterStopStartsAgainFromTheBeginning) {
    SoundStream* stream = openOne();
    EXPECT_EQ(soundStreamPlay(-1, stream), 0);
    EXPECT_EQ(soundStreamStop(stream), 1);
    EXPECT_EQ(soundStreamPlay(-1, stream), 0);
    // Loop off: each play is one pass from the start, never a resume or an endless loop.
    std::vector<std::string> expected = {"playMusic 1 0", "haltMusic", "playMusic 1 0"};
    std::vector<std::string> tail(fakeMixer.log.end() - 3, fakeMixer.log.end());
    EXPECT_EQ(tail, expected);
    soundStreamClose(stream);
}

TEST_F(SoundLayer, StopTouchesTheMusicOnlyForThePlayingStream) {
    SoundStream* first = openOne();
    SoundStream* second = soundStreamOpenFile("b.mp3", playOnce, 0);
    ASSERT_NE(second, nullptr);
    soundStreamStop(first); // never played
    EXPECT_EQ(fakeCalls("haltMusic"), 0);
    soundStreamPlay(-1, first);
    soundStreamStop(second);
    EXPECT_EQ(fakeCalls("haltMusic"), 0);
    soundStreamStop(first);
    soundStreamStop(first);
    EXPECT_EQ(fakeCalls("haltMusic"), 1);
    soundStreamClose(first);
    soundStreamClose(second);
}

TEST_F(SoundLayer, PlayFailureIsCode5) {
    SoundStream* stream = openOne();
    fakeMixer.playResult = -1;
    EXPECT_EQ(soundStreamPlay(-1, stream), -1);
    EXPECT_EQ(soundGetError(), 5);
    soundStreamStop(stream); // nothing plays: no halt
    EXPECT_EQ(fakeCalls("haltMusic"), 0);
    soundStreamClose(stream);
}

TEST_F(SoundLayer, ClosingAPlayingStreamStopsItBeforeReleasingIt) {
    SoundStream* stream = openOne();
    soundStreamPlay(-1, stream);
    EXPECT_EQ(soundStreamClose(stream), 1);
    std::vector<std::string> expected = {"haltMusic", "freeMusic 1"};
    std::vector<std::string> tail(fakeMixer.log.end() - 2, fakeMixer.log.end());
    EXPECT_EQ(tail, expected);
    soundClose();
    EXPECT_EQ(fakeCalls("freeMusic"), 1);
    EXPECT_EQ(fakeMixer.log.back(), "quitDecoders");
}

TEST_F(SoundLayer, LibraryCloseReleasesStreamsLeftOpenOnce) {
    SoundStream* stream = openOne();
    soundStreamPlay(-1, stream);
    soundClose();
    // Music released while the decoders are still there, then output and decoders closed.
    std::vector<std::string> expected = {"haltMusic", "freeMusic 1", "closeOutput", "quitDecoders"};
    std::vector<std::string> tail(fakeMixer.log.end() - 4, fakeMixer.log.end());
    EXPECT_EQ(tail, expected);
    EXPECT_EQ(soundStreamPlay(-1, stream), -1);
    EXPECT_EQ(soundGetError(), 2);
    EXPECT_EQ(soundStreamClose(stream), 1);
    EXPECT_EQ(fakeCalls("freeMusic"), 1);
    EXPECT_EQ(fakeCalls("playMusic"), 1);
}

} // namespace
