// The sound layer on the real SDL2_mixer back end: SDL's disk driver stands in for a sound card
// and writes the mixed output to a file that the test reads back.
#include <gtest/gtest.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include "sound/sound_library.h"

namespace {

const unsigned int playOnce = 0x22029;

// Appends a little-endian integer of the given byte count.
void putLE(std::vector<unsigned char>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<unsigned char>(value >> (8 * i)));
    }
}

// Writes one second of a 441 Hz square wave as a 16-bit mono PCM WAV file.
void writeSquareWav(const std::string& path) {
    const uint32_t rate = 44100, samples = rate;
    std::vector<unsigned char> wav = {'R', 'I', 'F', 'F'};
    putLE(wav, 36 + samples * 2, 4);
    for (char c : std::string("WAVEfmt ")) {
        wav.push_back(c);
    }
    putLE(wav, 16, 4);       // fmt chunk size
    putLE(wav, 1, 2);        // PCM
    putLE(wav, 1, 2);        // mono
    putLE(wav, rate, 4);     // sample rate
    putLE(wav, rate * 2, 4); // byte rate
    putLE(wav, 2, 2);        // block align
    putLE(wav, 16, 2);       // bits per sample
    for (char c : std::string("data")) {
        wav.push_back(c);
    }
    putLE(wav, samples * 2, 4);
    for (uint32_t i = 0; i < samples; ++i) {
        putLE(wav, (i / 50) % 2 ? 12000 : static_cast<uint16_t>(-12000), 2);
    }
    FILE* file = fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    fwrite(wav.data(), 1, wav.size(), file);
    fclose(file);
}

// True when the file holds at least one non-zero byte.
bool hasSound(const std::string& path) {
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    bool found = false;
    int byte;
    while (!found && (byte = fgetc(file)) != EOF) {
        found = byte != 0;
    }
    fclose(file);
    return found;
}

struct DiskSound : testing::Test {
    std::string dir;
    void SetUp() override {
        char pattern[] = "/tmp/skarn-sound-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", (dir + "/out.raw").c_str(), 1);
    }
    void TearDown() override {
        soundClose();
        std::string command = "rm -rf '" + dir + "'";
        EXPECT_EQ(system(command.c_str()), 0);
    }
};

TEST_F(DiskSound, NoUsableOutputIsCode3) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(soundInit(44100, 32, 2), 0);
    EXPECT_EQ(soundGetError(), 3);
}

TEST_F(DiskSound, LinkedMixerPassesTheVersionCheck) {
    EXPECT_GE(soundGetVersion(), 3.5f);
}

TEST_F(DiskSound, PlayedStreamReachesTheOutput) {
    writeSquareWav(dir + "/tone.wav");
    ASSERT_NE(soundInit(44100, 32, 2), 0);
    SoundStream* stream = soundStreamOpenFile((dir + "/tone.wav").c_str(), playOnce, 0);
    ASSERT_NE(stream, nullptr) << soundGetError();
    EXPECT_EQ(soundStreamPlay(-1, stream), 0);
    // The driver writes in real time; wait (bounded) for the first mixed samples.
    bool heard = false;
    for (int tries = 0; tries < 400 && !heard; ++tries) {
        usleep(50000);
        heard = hasSound(dir + "/out.raw");
    }
    EXPECT_TRUE(heard);
    EXPECT_EQ(soundStreamStop(stream), 1);
    EXPECT_EQ(soundStreamClose(stream), 1);
}

TEST_F(DiskSound, UnopenableFilesGetTheirCodes) {
    ASSERT_NE(soundInit(44100, 32, 2), 0);
    EXPECT_EQ(soundStreamOpenFile((dir + "/missing.mp3").c_str(), playOnce, 0), nullptr);
    EXPECT_EQ(soundGetError(), 9);
    EXPECT_EQ(soundStreamOpenFile((dir + "/missing/x.mp3").c_str(), playOnce, 0), nullptr);
    EXPECT_EQ(soundGetError(), 9);
    ASSERT_EQ(mkdir((dir + "/folder.mp3").c_str(), 0755), 0);
    EXPECT_EQ(soundStreamOpenFile((dir + "/folder.mp3").c_str(), playOnce, 0), nullptr);
    EXPECT_EQ(soundGetError(), 11);
    FILE* text = fopen((dir + "/x.mp3").c_str(), "w");
    ASSERT_NE(text, nullptr);
    fputs("this is not music\n", text);
    fclose(text);
    EXPECT_EQ(soundStreamOpenFile((dir + "/x.mp3").c_str(), playOnce, 0), nullptr);
    EXPECT_EQ(soundGetError(), 10);
    FILE* empty = fopen((dir + "/empty.mp3").c_str(), "w");
    ASSERT_NE(empty, nullptr);
    fclose(empty);
    EXPECT_EQ(soundStreamOpenFile((dir + "/empty.mp3").c_str(), playOnce, 0), nullptr);
    EXPECT_EQ(soundGetError(), 10);
}

TEST_F(DiskSound, TerminationSignalStillEndsTheProcess) {
    ASSERT_NE(soundInit(44100, 32, 2), 0);
    struct sigaction action;
    ASSERT_EQ(sigaction(SIGTERM, nullptr, &action), 0);
    EXPECT_EQ(action.sa_handler, SIG_DFL);
    ASSERT_EQ(sigaction(SIGINT, nullptr, &action), 0);
    EXPECT_EQ(action.sa_handler, SIG_DFL);
}

} // namespace
