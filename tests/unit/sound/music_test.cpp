// The music stream over a test double: console lines, results and the library calls made.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "fake_mixer.h"
#include "sound/music.h"

namespace {

struct Music : testing::Test {
    void SetUp() override {
        installFakeMixer();
    }
    void TearDown() override {
        closeMusic();
        removeFakeMixer();
    }
};

// Runs step and returns what it printed on stdout.
template <typename Step> std::string printedBy(Step step, int* result) {
    testing::internal::CaptureStdout();
    *result = step();
    return testing::internal::GetCapturedStdout();
}

TEST(MusicErrorText, CodesOutsideTheTableAreUnknown) {
    EXPECT_STREQ(musicErrorText(19), "Unknown error");
    EXPECT_STREQ(musicErrorText(-1), "Unknown error");
    EXPECT_STREQ(musicErrorText(1000), "Unknown error");
}

TEST(MusicErrorText, TextsKeepTheirExactSpacing) {
    EXPECT_STREQ(musicErrorText(0), "No errors");
    EXPECT_STREQ(musicErrorText(1),
                 "Cannot call this command after FSOUND_Init.  Call FSOUND_Close first.");
    EXPECT_STREQ(musicErrorText(3), "Error initializing output device.");
    EXPECT_STREQ(musicErrorText(9), "File not found");
    EXPECT_STREQ(musicErrorText(12), "Not enough memory ");
    EXPECT_STREQ(musicErrorText(18), "Required Mediaplayer codec is not installed");
    std::set<std::string> distinct;
    for (int code = 0; code <= 18; ++code) {
        distinct.insert(musicErrorText(code));
    }
    EXPECT_EQ(distinct.size(), 19u);
    EXPECT_EQ(distinct.count("Unknown error"), 0u);
}

TEST_F(Music, OldLibraryGivesTheVersionLineAndNoInit) {
    fakeMixer.patch = 1;
    fakeMixer.minor = 0; // mixer 2.0.1
    int result = -1;
    std::string out = printedBy(initMusic, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(out, "Erreur : Mauvaise version de DLL!  Vous devriez utiliser FMOD 3.50\n");
    EXPECT_EQ(fakeCalls("openOutput"), 0);
    // The show still asks for its stream: the library answers that it was never started.
    out = printedBy(openMusic, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(out, "This command failed because FSOUND_Init was not called\n");
    EXPECT_EQ(musicStream, nullptr);
}

TEST_F(Music, RefusedInitPrintsTheLibraryError) {
    fakeMixer.openResult = -1;
    int result = -1;
    std::string out = printedBy(initMusic, &result);
    EXPECT_EQ(result, 2);
    EXPECT_EQ(out, "Error initializing output device.\n");
}

TEST_F(Music, ReadyLibraryAndStreamPrintTheirWaitingLines) {
    int result = -1;
    std::string out = printedBy(initMusic, &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(out, "Veuillez patienter...INITIALISATION DE FMOD\n");
    EXPECT_EQ(fakeCalls("openOutput 44100 32"), 1);
    out = printedBy(openMusic, &result);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(out, "Veuillez patienter...Chargement des sons\n");
    EXPECT_NE(musicStream, nullptr);
    EXPECT_EQ(fakeCalls("loadMusic media/musique.mp3"), 1);
    soundStreamPlay(-1, musicStream);
    EXPECT_EQ(fakeCalls("playMusic 1 0"), 1); // the music plays once
}

TEST_F(Music, MissingFileSaysFileNotFoundOnce) {
    int result = -1;
    printedBy(initMusic, &result);
    fakeMixer.fileCheck = SOUND_FILE_MISSING;
    std::string out = printedBy(openMusic, &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(out, "File not found\n");
    EXPECT_EQ(musicStream, nullptr);
    EXPECT_EQ(fakeCalls("checkFile media/musique.mp3"), 1);
    // Restarts of the show pass the null stream on: nothing happens and nothing is printed.
    testing::internal::CaptureStdout();
    for (int restart = 0; restart < 3; ++restart) {
        soundStreamStop(musicStream);
        soundStreamPlay(-1, musicStream);
    }
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(fakeCalls("playMusic") + fakeCalls("haltMusic"), 0);
}

TEST_F(Music, QuitStopsClosesTheStreamThenTheLibrary) {
    int result = -1;
    printedBy(initMusic, &result);
    printedBy(openMusic, &result);
    soundStreamPlay(-1, musicStream);
    fakeMixer.log.clear();
    soundStreamStop(musicStream);
    closeMusic();
    std::vector<std::string> expected = {"haltMusic", "freeMusic 1", "closeOutput", "quitDecoders"};
    EXPECT_EQ(fakeMixer.log, expected);
    EXPECT_EQ(musicStream, nullptr);
}

} // namespace
