// The sound track's placement of the music, and the encoder on real files: what it writes is
// read back with the module's own decoder, and a file that can't be written is reported.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "record/encoder.h"
#include "record/music_track.h"

namespace {

MusicTrack rampTrack(int samples) {
    MusicTrack track;
    track.sampleRate = 1000;
    for (int i = 0; i < samples; i++) {
        track.left.push_back((int16_t)(1024 * (1 + i)));
        track.right.push_back((int16_t)(-1024 * (1 + i)));
    }
    return track;
}

TEST(MixMusic, PlacesTheMusicByItsCues) {
    MusicTrack track = rampTrack(5);
    std::vector<MusicCue> cues = {{10, true}, {13, false}, {20, true}};
    struct {
        int64_t sample;
        float left; // 0: silence
    } expected[] = {{0, 0},  {9, 0},  {10, 1}, {11, 2}, {12, 3}, {13, 0},
                    {19, 0}, {20, 1}, {24, 5}, {25, 0}, {40, 0}};
    for (auto& e : expected) {
        float left = -9, right = -9;
        mixMusic(&track, cues, e.sample, 1, &left, &right);
        EXPECT_EQ(left * 32, e.left) << "sample " << e.sample;
        EXPECT_EQ(right * 32, -e.left) << "sample " << e.sample;
    }
    // One call over a range gives what single samples give; no track is silence.
    std::vector<float> left(16), right(16);
    mixMusic(&track, cues, 8, 16, left.data(), right.data());
    EXPECT_EQ(left[2] * 32, 1.0f);
    EXPECT_EQ(left[5], 0.0f);
    EXPECT_EQ(left[12] * 32, 1.0f);
    mixMusic(nullptr, cues, 8, 16, left.data(), right.data());
    for (float v : left) {
        EXPECT_EQ(v, 0.0f);
    }
}

std::string scratchFile(const char* name) {
    return std::string(getenv("TMPDIR") ? getenv("TMPDIR") : "/tmp") + "/" + name + "-" +
           std::to_string(getpid()) + ".mp4";
}

double rms(const std::vector<int16_t>& samples, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to && i < samples.size(); i++) {
        double v = samples[i] / 32768.0;
        sum += v * v;
    }
    return std::sqrt(sum / (double)(to - from));
}

// Two seconds at 10 frames a second; a sine plays from 0.5 s and stops at 1.5 s.
bool recordSmallShow(const std::string& path, std::string& error) {
    EncoderSettings settings;
    settings.width = 64;
    settings.height = 48;
    settings.fps = 10;
    MusicTrack sine;
    sine.sampleRate = settings.sampleRate;
    for (int i = 0; i < settings.sampleRate * 3; i++) {
        int16_t v = (int16_t)(16384 * std::sin(i * 2.0 * M_PI * 440.0 / settings.sampleRate));
        sine.left.push_back(v);
        sine.right.push_back(v);
    }
    Recording* recording = openRecording(path, settings, &sine, error);
    if (recording == nullptr) {
        return false;
    }
    for (int frame = 0; frame < 20; frame++) {
        if (frame == 5) {
            cueMusic(recording, 500, true);
        }
        if (frame == 15) {
            cueMusic(recording, 1500, false);
        }
        uint8_t* pixels = nextFrameBuffer(recording);
        for (int i = 0; i < 64 * 48 * 4; i++) {
            pixels[i] = (uint8_t)(i * 7 + frame);
        }
        if (!submitFrame(recording)) {
            break;
        }
    }
    EncoderTimes times;
    return finishRecording(recording, times, error);
}

TEST(Encoder, WritesTheSoundWhereTheCuesPutIt) {
    std::string path = scratchFile("skarn-encoder");
    std::string error;
    ASSERT_TRUE(recordSmallShow(path, error)) << error;
    MusicTrack heard;
    ASSERT_TRUE(decodeMusic(path, 1000, 10.0, heard, error)) << error;
    remove(path.c_str());
    // Sound up to the last frame's end (two seconds), the last AAC frame padded by at most 24 ms.
    EXPECT_GE(heard.left.size(), 2000u);
    EXPECT_LE(heard.left.size(), 2024u);
    EXPECT_LT(rms(heard.left, 0, 450), 0.01);     // before the play cue
    EXPECT_GT(rms(heard.left, 600, 1400), 0.2);   // while it plays
    EXPECT_LT(rms(heard.left, 1600, 1950), 0.01); // after the stop cue
}

TEST(Encoder, ReportsFilesThatCannotBeWritten) {
    std::string error;
    // A full disk: every write fails, and the finish says so instead of claiming success.
    EXPECT_FALSE(recordSmallShow("/dev/full", error));
    EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(recordSmallShow("/no/such/folder/x.mp4", error));
    EXPECT_NE(error.find("/no/such/folder/x.mp4"), std::string::npos) << error;
}

TEST(MusicDecode, RefusesWhatHoldsNoSound) {
    MusicTrack track;
    std::string error;
    EXPECT_FALSE(decodeMusic("/no/such/music.mp3", 44100, 10.0, track, error));
    EXPECT_NE(error.find("/no/such/music.mp3"), std::string::npos);
    std::string text = scratchFile("skarn-not-music");
    FILE* f = fopen(text.c_str(), "w");
    fputs("this is not music\n", f);
    fclose(f);
    EXPECT_FALSE(decodeMusic(text, 44100, 10.0, track, error));
    remove(text.c_str());
}

} // namespace
