// Music decoding with libavformat, libavcodec and libswresample, and the placement of the music
// on the sound track by the show's cues. Record side: no GL, no toolkit.
#include "record/music_track.h"

#include <algorithm>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------

// Everything a decode holds open; released together whatever happened.
struct MusicDecoder {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* resampler = nullptr;
    AVPacket* packet = nullptr;
    AVFrame* frame = nullptr;
    int stream = -1;
};

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------

static std::string avText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {0};
    av_strerror(code, text, sizeof text);
    return text;
}

static void closeDecoder(MusicDecoder& d) {
    av_frame_free(&d.frame);
    av_packet_free(&d.packet);
    swr_free(&d.resampler);
    avcodec_free_context(&d.codec);
    avformat_close_input(&d.format);
}

// Opens the file's best sound stream with a resampler to stereo 16-bit planes at `rate`.
static int openDecoder(MusicDecoder& d, const std::string& path, int rate) {
    int err = avformat_open_input(&d.format, path.c_str(), nullptr, nullptr);
    if (err < 0 || (err = avformat_find_stream_info(d.format, nullptr)) < 0) {
        return err;
    }
    const AVCodec* decoder = nullptr;
    d.stream = av_find_best_stream(d.format, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
    if (d.stream < 0) {
        return d.stream;
    }
    d.codec = avcodec_alloc_context3(decoder);
    if (d.codec == nullptr) {
        return AVERROR(ENOMEM);
    }
    err = avcodec_parameters_to_context(d.codec, d.format->streams[d.stream]->codecpar);
    if (err < 0 || (err = avcodec_open2(d.codec, decoder, nullptr)) < 0) {
        return err;
    }
    if (d.codec->ch_layout.order == AV_CHANNEL_ORDER_UNSPEC) {
        int channels = d.codec->ch_layout.nb_channels > 0 ? d.codec->ch_layout.nb_channels : 1;
        av_channel_layout_uninit(&d.codec->ch_layout);
        av_channel_layout_default(&d.codec->ch_layout, channels);
    }
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    err = swr_alloc_set_opts2(&d.resampler, &stereo, AV_SAMPLE_FMT_S16P, rate, &d.codec->ch_layout,
                              d.codec->sample_fmt, d.codec->sample_rate, 0, nullptr);
    if (err < 0 || (err = swr_init(d.resampler)) < 0) {
        return err;
    }
    d.packet = av_packet_alloc();
    d.frame = av_frame_alloc();
    return d.packet && d.frame ? 0 : AVERROR(ENOMEM);
}

// Resamples one decoded frame (null: what the resampler still holds) onto the track's end.
static int appendSamples(MusicDecoder& d, const AVFrame* frame, MusicTrack& track,
                         size_t maxSamples) {
    int room = swr_get_out_samples(d.resampler, frame ? frame->nb_samples : 0);
    if (room <= 0) {
        return 0;
    }
    size_t start = track.left.size();
    track.left.resize(start + room);
    track.right.resize(start + room);
    uint8_t* out[2] = {(uint8_t*)(track.left.data() + start),
                       (uint8_t*)(track.right.data() + start)};
    int made =
        swr_convert(d.resampler, out, room, frame ? (const uint8_t**)frame->extended_data : nullptr,
                    frame ? frame->nb_samples : 0);
    size_t kept = made < 0 ? start : std::min(start + (size_t)made, maxSamples);
    track.left.resize(kept);
    track.right.resize(kept);
    return made < 0 ? made : 0;
}

// Takes every frame the decoder has ready; AVERROR(EAGAIN) and AVERROR_EOF end it normally.
static int drainDecoder(MusicDecoder& d, MusicTrack& track, size_t maxSamples) {
    int err;
    while ((err = avcodec_receive_frame(d.codec, d.frame)) >= 0) {
        err = appendSamples(d, d.frame, track, maxSamples);
        av_frame_unref(d.frame);
        if (err < 0) {
            return err;
        }
    }
    return err == AVERROR(EAGAIN) || err == AVERROR_EOF ? 0 : err;
}

bool decodeMusic(const std::string& path, int sampleRate, double maxSeconds, MusicTrack& track,
                 std::string& error) {
    av_log_set_level(AV_LOG_QUIET); // the caller reports failures in the program's own words
    track = MusicTrack{};
    track.sampleRate = sampleRate;
    size_t maxSamples = (size_t)(maxSeconds * sampleRate);
    MusicDecoder d;
    int err = openDecoder(d, path, sampleRate);
    while (err >= 0 && track.left.size() < maxSamples) {
        int read = av_read_frame(d.format, d.packet);
        if (read < 0) {
            break; // end of file (a damaged tail ends the music there, as a player would)
        }
        if (d.packet->stream_index == d.stream && avcodec_send_packet(d.codec, d.packet) >= 0) {
            err = drainDecoder(d, track, maxSamples);
        }
        av_packet_unref(d.packet);
    }
    if (err >= 0 && track.left.size() < maxSamples) {
        avcodec_send_packet(d.codec, nullptr);
        err = drainDecoder(d, track, maxSamples);
        if (err >= 0) {
            err = appendSamples(d, nullptr, track, maxSamples);
        }
    }
    closeDecoder(d);
    if (err < 0) {
        error = path + " : " + avText(err);
        return false;
    }
    if (track.left.empty()) {
        error = path + " : aucun son";
        return false;
    }
    return true;
}

void mixMusic(const MusicTrack* track, const std::vector<MusicCue>& cues, int64_t first, int count,
              float* left, float* right) {
    for (int i = 0; i < count; i++) {
        int64_t at = first + i;
        const MusicCue* latest = nullptr;
        for (const MusicCue& cue : cues) {
            if (cue.sample > at) {
                break;
            }
            latest = &cue;
        }
        left[i] = right[i] = 0.0f;
        if (track == nullptr || latest == nullptr || !latest->play) {
            continue;
        }
        int64_t offset = at - latest->sample;
        if (offset < (int64_t)track->left.size()) {
            left[i] = track->left[offset] / 32768.0f;
            right[i] = track->right[offset] / 32768.0f;
        }
    }
}
