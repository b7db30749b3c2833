// The music as samples: a sound file decoded and resampled to the recording's stereo rate, and
// the play and stop cues of the show that place it on the sound track. Record side: names
// FFmpeg only in its .cpp; no GL, no toolkit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct MusicTrack {
    int sampleRate = 0;         // samples per second of each channel
    std::vector<int16_t> left;  // first channel, full scale 32768 (half the memory of floats)
    std::vector<int16_t> right; // second channel (the first's sound for mono files)
};

struct MusicCue {
    int64_t sample = 0; // sound-track sample at which the cue takes effect
    bool play = false;  // true: the music starts from its beginning; false: it stops
};

// Decodes `path` to stereo float at `sampleRate`, keeping at most `maxSeconds`; false with the
// library's reason in `error` when the file can't be read or holds no sound.
bool decodeMusic(const std::string& path, int sampleRate, double maxSeconds, MusicTrack& track,
                 std::string& error);

// Fills left/right[0..count) (-1..1) with the sound track from sample `first` on: the music from
// the latest play cue at or before each sample, silence before any cue, after a stop cue and past
// the music's end. `cues` are in time order.
void mixMusic(const MusicTrack* track, const std::vector<MusicCue>& cues, int64_t first, int count,
              float* left, float* right);
