// The sound track's placement of the music, and the encoder on real files: the
// sound read back with the module's own decoder, a frame decoded by ffmpeg, a
// file that can't be written.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
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
    // One call over a range gives what single samples give; no track is silence.
    std::vector<float> left(41), right(41);
    mixMusic(&track, cues, 0, 41, left.data(), right.data());
    for (auto& e : expected) {
        float l = -9, r = -9;
        mixMusic(&track, cues, e.sample, 1, &l, &r);
        EXPECT_TRUE(l * 32 == e.left && r * 32 == -e.left && left[e.sample] == l) << e.sample;
    }
    mixMusic(nullptr, cues, 8, 16, left.data(), right.data());
    EXPECT_EQ(std::vector<float>(left.begin(), left.begin() + 16), std::vector<float>(16, 0.0f));
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

// Quadrants as seen: top-left red, top-right blue, bottom-left white,
// bottom-right black (RGB); the frames come as BGRA rows from the bottom up, as
// the GL reads them.
const uint8_t QUADRANTS[4][3] = {{255, 0, 0}, {0, 0, 255}, {255, 255, 255}, {0, 0, 0}};

void paintQuadrants(uint8_t* pixels, int width, int height) {
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            const uint8_t* c = QUADRANTS[(y < height / 2 ? 2 : 0) + (x >= width / 2)];
            uint8_t* p = pixels + 4 * (y * width + x);
            p[0] = c[2], p[1] = c[1], p[2] = c[0], p[3] = 255;
        }
    }
}

// The first video frame of `path` as RGB rows top-down, converted by ffmpeg
// with the range the file states.
std::vector<uint8_t> firstFrameRgb(const std::string& path) {
    std::vector<uint8_t> rgb(64 * 48 * 3 + 1);
    FILE* f = popen(
        ("ffmpeg -v error -i '" + path + "' -frames:v 1 -f rawvideo -pix_fmt rgb24 -").c_str(),
        "r");
    rgb.resize(f ? fread(rgb.data(), 1, rgb.size(), f) : 0);
    if (f) {
        pclose(f);
    }
    return rgb;
}

// Two seconds at 10 frames a second of the quadrants; a sine plays from 0.5 s
// and stops at 1.5 s.
bool recordSmallShow(const std::string& path, std::string& error) {
    EncoderSettings settings;
    settings.width = 64, settings.height = 48, settings.fps = 10;
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
        if (frame == 5 || frame == 15) {
            cueMusic(recording, frame * 100, frame == 5);
        }
        paintQuadrants(nextFrameBuffer(recording), settings.width, settings.height);
        if (!submitFrame(recording)) {
            break;
        }
    }
    EncoderTimes times;
    return finishRecording(recording, times, error);
}

// The frames upright, red and blue in place, white and black at the ends of the
// range; the sound where the cues put it.
TEST(Encoder, WritesTheFramesAsDrawnAndTheSoundWhereTheCuesPutIt) {
    std::string path = scratchFile("skarn-encoder");
    std::string error;
    ASSERT_TRUE(recordSmallShow(path, error)) << error;
    const std::vector<uint8_t> rgb = firstFrameRgb(path);
    ASSERT_EQ(rgb.size(), 64u * 48 * 3);
    for (int q = 0; q < 4; q++) {
        const uint8_t* p = &rgb[3 * ((q / 2 * 24 + 12) * 64 + q % 2 * 32 + 16)];
        for (int c = 0; c < 3; c++) {
            EXPECT_NEAR(p[c], QUADRANTS[q][c], 8) << "quadrant " << q << " channel " << c;
        }
    }
    MusicTrack heard;
    ASSERT_TRUE(decodeMusic(path, 1000, 10.0, heard, error)) << error;
    remove(path.c_str());
    // Sound up to the last frame's end (two seconds), the last AAC frame padded
    // by at most 24 ms.
    EXPECT_GE(heard.left.size(), 2000u);
    EXPECT_LE(heard.left.size(), 2024u);
    EXPECT_LT(rms(heard.left, 0, 450), 0.01);     // before the play cue
    EXPECT_GT(rms(heard.left, 600, 1400), 0.2);   // while it plays
    EXPECT_LT(rms(heard.left, 1600, 1950), 0.01); // after the stop cue
}

// A full disk fails every write, and the finish says so instead of claiming
// success; files that can't be written or hold no sound are refused naming
// them.
TEST(Encoder, ReportsFilesThatCannotBeWrittenOrHoldNoSound) {
    std::string error, text = scratchFile("skarn-not-music");
    EXPECT_FALSE(recordSmallShow("/dev/full", error));
    EXPECT_NE(error.find("No space left on device"), std::string::npos) << error;
    EXPECT_FALSE(recordSmallShow("/no/such/folder/x.mp4", error));
    EXPECT_NE(error.find("/no/such/folder/x.mp4"), std::string::npos) << error;
    MusicTrack track;
    EXPECT_FALSE(decodeMusic("/no/such/music.mp3", 44100, 10.0, track, error));
    EXPECT_NE(error.find("/no/such/music.mp3"), std::string::npos);
    FILE* f = fopen(text.c_str(), "w");
    fputs("this is not music\n", f);
    fclose(f);
    EXPECT_FALSE(decodeMusic(text, 44100, 10.0, track, error));
    remove(text.c_str());
}

} // namespace
