// The recorder's sound back end: the sound layer's primitives without an output device, the
// music decoded by the record module, play and stop kept as cues at the show clock's time.
// Recorder side: it reads the show clock.
#include "recorder/record_sound.h"

#include <string>

#include "app/clock.h"
#include "record/encoder.h"

//----------------------------------------------------------------------------------
// Global state
//----------------------------------------------------------------------------------
RecordSound recordSound;

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------

// The decoder is FFmpeg's, always there: report the lowest mixer the layer accepts.
static void recordLinkedVersion(int* major, int* minor, int* patch) {
    *major = SOUND_MIN_MIXER_MAJOR;
    *minor = SOUND_MIN_MIXER_MINOR;
    *patch = SOUND_MIN_MIXER_PATCH;
}

static int recordInitDecoders() {
    return 1;
}

static void recordQuitDecoders() {}

// No device is opened: the sound goes into the file.
static int recordOpenOutput(int mixRate, int maxChannels) {
    (void)mixRate;
    (void)maxChannels;
    return 0;
}

static void recordCloseOutput() {}

static int recordCheckFile(const char* name) {
    return sdlSoundBackend().checkFile(name); // a file check only: SDL is not started
}

// Decodes the whole music now; null (an unknown format for the layer) when it can't be read.
static void* recordLoadMusic(const char* name) {
    MusicTrack* track = new MusicTrack;
    std::string error;
    if (!decodeMusic(name, RECORD_SAMPLE_RATE, recordSound.maxSeconds, *track, error)) {
        delete track;
        return nullptr;
    }
    recordSound.track = track;
    return track;
}

static void recordFreeMusic(void* music) {
    if (recordSound.track == music) {
        recordSound.track = nullptr;
    }
    delete static_cast<MusicTrack*>(music);
}

static int recordPlayMusic(void* music, int loops) {
    (void)music;
    (void)loops; // the music plays once, as the layer always asks
    recordSound.cues.push_back(MusicCue{readClockMs(), true});
    return 0;
}

static void recordHaltMusic() {
    recordSound.cues.push_back(MusicCue{readClockMs(), false});
}

const SoundBackend& recordSoundBackend() {
    static const SoundBackend backend = {
        recordLinkedVersion, recordInitDecoders, recordQuitDecoders, recordOpenOutput,
        recordCloseOutput,   recordCheckFile,    recordLoadMusic,    recordFreeMusic,
        recordPlayMusic,     recordHaltMusic};
    return backend;
}
