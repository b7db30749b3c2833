// The recorder's sound back end: no sound device; the music file is decoded for the sound track
// and each play and stop of the show becomes a cue at the show clock's time. Recorder side.
#pragma once

#include <cstdint>
#include <vector>

#include "record/music_track.h"
#include "sound/sound_backend.h"

struct RecordSound {
    MusicTrack* track = nullptr; // the decoded music, null when none could be read
    std::vector<MusicCue> cues;  // play and stop, in show milliseconds (not yet samples)
    double maxSeconds = 0.0;     // how much of the music the sound track can hold
};

extern RecordSound recordSound; // written by the recorder's back end and its entry only

// The back end that the sound layer uses while a show is recorded.
const SoundBackend& recordSoundBackend();
