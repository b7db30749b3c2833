// The video file of a recording: H.264 (libx264, yuv420p) and AAC in MP4, fed with frames as GL
// reads them back and with the music placed by its cues. Frames are converted and encoded on a
// thread of the recording's own while the caller draws the next one. Record side: names FFmpeg
// only in its .cpp; no GL, no toolkit.
#pragma once

#include <cstdint>
#include <string>

#include "base/show_layout.h"
#include "record/music_track.h"

#define RECORD_SAMPLE_RATE 44100 // sound track rate, samples per second
#define RECORD_FRAME_BUFFERS 3   // frames that may wait for the encoder before drawing waits

struct EncoderSettings {
    int width = SHOW_WINDOW_WIDTH; // picture size in pixels
    int height = SHOW_WINDOW_HEIGHT;
    int fps = 60; // frames per second; frame i is at i / fps seconds
    int sampleRate = RECORD_SAMPLE_RATE;
    int crf = 18;                    // x264 constant quality: low enough to keep text sharp
    const char* preset = "veryfast"; // x264 speed preset
    int audioBitRate = 160000;       // AAC bits per second
};

struct EncoderTimes {
    double convertSeconds = 0.0; // colour conversion
    double encodeSeconds = 0.0;  // video and audio encoding and writing
};

struct Recording; // opaque: the file, the encoders and the encoding thread

// Opens `path` (any name: the container is MP4 whatever it ends with) and writes its header;
// null with a message in `error` when the file or an encoder can't be opened.
Recording* openRecording(const std::string& path, const EncoderSettings& settings,
                         const MusicTrack* music, std::string& error);

// Storage for the next frame: width * height BGRA pixels, bottom row first (as glReadPixels
// gives them). Waits while every buffer is still with the encoder.
uint8_t* nextFrameBuffer(Recording* recording);

// Hands the frame filled in nextFrameBuffer to the encoder; false once the encoder failed.
bool submitFrame(Recording* recording);

// The music starts (play) or stops at show time `ms`; cues come in time order, before the
// frame of that time is submitted.
void cueMusic(Recording* recording, int64_t ms, bool play);

// Encodes what is left, pads the sound to the last frame's end and closes the file; false with
// a message on any failure (a full disk, an encoder error). Frees the recording either way.
bool finishRecording(Recording* recording, EncoderTimes& times, std::string& error);

// Stops the encoder and closes the file without completing it; frees the recording.
void abandonRecording(Recording* recording);
