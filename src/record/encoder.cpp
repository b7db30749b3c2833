// The video file of a recording: the MP4 container, the libx264 and AAC encoders, colour
// conversion with libswscale, and the encoding thread that takes frames while the next is drawn.
// Record side: the only code besides music_track.cpp that names FFmpeg; no GL, no toolkit.
#include "record/encoder.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

//----------------------------------------------------------------------------------
// Types
//----------------------------------------------------------------------------------
struct Recording {
    EncoderSettings settings;
    const MusicTrack* music = nullptr; // null: a silent sound track
    AVFormatContext* format = nullptr; // the MP4 file
    AVCodecContext* video = nullptr;   // libx264
    AVCodecContext* audio = nullptr;   // AAC
    AVStream* videoStream = nullptr;
    AVStream* audioStream = nullptr;
    SwsContext* scaler = nullptr; // BGRA bottom-up to yuv420p top-down
    AVFrame* picture = nullptr;   // the converted frame
    AVFrame* sound = nullptr;     // one AAC frame of samples
    AVPacket* packet = nullptr;
    int64_t framesEncoded = 0;  // video frames given to the encoder
    int64_t samplesEncoded = 0; // sound samples given to the encoder
    EncoderTimes times;         // written by the encoding thread until joined

    // Shared between the caller and the encoding thread, under `lock`.
    std::mutex lock;
    std::condition_variable changed;
    std::vector<uint8_t> buffers[RECORD_FRAME_BUFFERS];
    std::deque<int> waiting;     // filled buffers, oldest first
    std::deque<int> freeBuffers; // buffers the caller may fill
    int filling = -1;            // the buffer handed out by nextFrameBuffer
    std::vector<MusicCue> cues;  // in time order
    bool closing = false;        // no more frames will come
    bool failed = false;         // the first failure is in `error`
    bool writeFailed = false;    // the failure was the file's, not an encoder's
    std::string error;
    std::thread worker;
};

//----------------------------------------------------------------------------------
// Functions
//----------------------------------------------------------------------------------

static std::string avText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {0};
    av_strerror(code, text, sizeof text);
    return text;
}

static double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Writes every packet the encoder has ready into the file.
static int writePackets(Recording* r, AVCodecContext* codec, AVStream* stream) {
    int err;
    while ((err = avcodec_receive_packet(codec, r->packet)) >= 0) {
        if (codec == r->video && r->packet->duration == 0) {
            r->packet->duration = 1; // one frame: the last frame lasts too, and the show is whole
        }
        av_packet_rescale_ts(r->packet, codec->time_base, stream->time_base);
        r->packet->stream_index = stream->index;
        err = av_interleaved_write_frame(r->format, r->packet);
        if (err < 0) {
            r->writeFailed = true;
            return err;
        }
    }
    return err == AVERROR(EAGAIN) || err == AVERROR_EOF ? 0 : err;
}

// Encodes the sound track up to sample `target`: whole AAC frames, and the short last one too
// when `last` is set.
static int encodeSoundUpTo(Recording* r, int64_t target, bool last,
                           const std::vector<MusicCue>& cues) {
    while (r->samplesEncoded < target) {
        int count = (int)std::min<int64_t>(r->audio->frame_size, target - r->samplesEncoded);
        if (count < r->audio->frame_size && !last) {
            return 0;
        }
        int err = av_frame_make_writable(r->sound);
        if (err < 0) {
            return err;
        }
        r->sound->nb_samples = count;
        mixMusic(r->music, cues, r->samplesEncoded, count, (float*)r->sound->data[0],
                 (float*)r->sound->data[1]);
        r->sound->pts = r->samplesEncoded;
        if ((err = avcodec_send_frame(r->audio, r->sound)) < 0 ||
            (err = writePackets(r, r->audio, r->audioStream)) < 0) {
            return err;
        }
        r->samplesEncoded += count;
    }
    return 0;
}

// The sample at which video frame `frame` begins.
static int64_t frameSample(const Recording* r, int64_t frame) {
    return frame * r->settings.sampleRate / r->settings.fps;
}

// Sound up to the frame's start, then the frame converted (rows flipped) and encoded.
static int encodeFrame(Recording* r, const uint8_t* pixels, const std::vector<MusicCue>& cues) {
    auto start = std::chrono::steady_clock::now();
    int err = encodeSoundUpTo(r, frameSample(r, r->framesEncoded), false, cues);
    if (err < 0 || (err = av_frame_make_writable(r->picture)) < 0) {
        return err;
    }
    int rowBytes = r->settings.width * 4;
    const uint8_t* topRow = pixels + (size_t)rowBytes * (r->settings.height - 1);
    const uint8_t* source[1] = {topRow};
    int sourceStride[1] = {-rowBytes};
    auto convertStart = std::chrono::steady_clock::now();
    sws_scale(r->scaler, source, sourceStride, 0, r->settings.height, r->picture->data,
              r->picture->linesize);
    r->times.convertSeconds += secondsSince(convertStart);
    r->picture->pts = r->framesEncoded++;
    if ((err = avcodec_send_frame(r->video, r->picture)) >= 0) {
        err = writePackets(r, r->video, r->videoStream);
    }
    r->times.encodeSeconds += secondsSince(start);
    return err;
}

// The encoding thread: takes filled buffers in order until the recording closes.
static void encodeLoop(Recording* r) {
    std::unique_lock<std::mutex> hold(r->lock);
    for (;;) {
        r->changed.wait(hold, [r] { return !r->waiting.empty() || r->closing; });
        if (r->waiting.empty()) {
            return;
        }
        int index = r->waiting.front();
        r->waiting.pop_front();
        std::vector<MusicCue> cues = r->cues;
        bool skip = r->failed;
        hold.unlock();
        int err = skip ? 0 : encodeFrame(r, r->buffers[index].data(), cues);
        hold.lock();
        if (err < 0 && !r->failed) {
            r->failed = true;
            r->error = (r->writeFailed ? "\xe9"
                                         "criture : "
                                       : "encodage : ") +
                       avText(err);
        }
        r->freeBuffers.push_back(index);
        r->changed.notify_all();
    }
}

// Adds a stream for `codec` set up by the caller; opens the encoder.
static int openStream(Recording* r, AVCodecContext* codec, const AVCodec* encoder,
                      AVDictionary** options, AVStream** stream) {
    if (r->format->oformat->flags & AVFMT_GLOBALHEADER) {
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    int err = avcodec_open2(codec, encoder, options);
    if (err < 0) {
        return err;
    }
    *stream = avformat_new_stream(r->format, nullptr);
    if (*stream == nullptr) {
        return AVERROR(ENOMEM);
    }
    (*stream)->time_base = codec->time_base;
    return avcodec_parameters_from_context((*stream)->codecpar, codec);
}

// libx264 at the settings' size, rate and quality, in limited-range BT.601 as libswscale makes.
static int openVideo(Recording* r, std::string& what) {
    const EncoderSettings& s = r->settings;
    const AVCodec* encoder = avcodec_find_encoder_by_name("libx264");
    what = "libx264";
    if (encoder == nullptr || (r->video = avcodec_alloc_context3(encoder)) == nullptr) {
        return AVERROR_ENCODER_NOT_FOUND;
    }
    r->video->width = s.width;
    r->video->height = s.height;
    r->video->time_base = AVRational{1, s.fps};
    r->video->framerate = AVRational{s.fps, 1};
    r->video->pix_fmt = AV_PIX_FMT_YUV420P;
    r->video->gop_size = 2 * s.fps; // a key frame every two seconds: quick seeking in players
    r->video->color_range = AVCOL_RANGE_MPEG;
    r->video->colorspace = AVCOL_SPC_SMPTE170M;
    r->video->color_primaries = AVCOL_PRI_SMPTE170M;
    r->video->color_trc = AVCOL_TRC_SMPTE170M;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "preset", s.preset, 0);
    av_dict_set_int(&options, "crf", s.crf, 0);
    int err = openStream(r, r->video, encoder, &options, &r->videoStream);
    av_dict_free(&options);
    if (err < 0) {
        return err;
    }
    r->scaler = sws_getContext(s.width, s.height, AV_PIX_FMT_BGRA, s.width, s.height,
                               AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
    r->picture = av_frame_alloc();
    if (r->scaler == nullptr || r->picture == nullptr) {
        return AVERROR(ENOMEM);
    }
    r->picture->format = AV_PIX_FMT_YUV420P;
    r->picture->width = s.width;
    r->picture->height = s.height;
    return av_frame_get_buffer(r->picture, 0);
}

// FFmpeg's AAC encoder, stereo at the settings' rate.
static int openAudio(Recording* r, std::string& what) {
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_AAC);
    what = "aac";
    if (encoder == nullptr || (r->audio = avcodec_alloc_context3(encoder)) == nullptr) {
        return AVERROR_ENCODER_NOT_FOUND;
    }
    r->audio->sample_fmt = AV_SAMPLE_FMT_FLTP;
    r->audio->sample_rate = r->settings.sampleRate;
    r->audio->bit_rate = r->settings.audioBitRate;
    r->audio->time_base = AVRational{1, r->settings.sampleRate};
    AVChannelLayout stereo = AV_CHANNEL_LAYOUT_STEREO;
    av_channel_layout_copy(&r->audio->ch_layout, &stereo);
    int err = openStream(r, r->audio, encoder, nullptr, &r->audioStream);
    if (err < 0) {
        return err;
    }
    r->sound = av_frame_alloc();
    if (r->sound == nullptr) {
        return AVERROR(ENOMEM);
    }
    r->sound->format = AV_SAMPLE_FMT_FLTP;
    r->sound->nb_samples = r->audio->frame_size;
    r->sound->sample_rate = r->settings.sampleRate;
    av_channel_layout_copy(&r->sound->ch_layout, &stereo);
    return av_frame_get_buffer(r->sound, 0);
}

// Releases everything but the thread (joined by the caller first).
static void freeRecording(Recording* r) {
    if (r->format != nullptr && r->format->pb != nullptr) {
        avio_closep(&r->format->pb);
    }
    avformat_free_context(r->format);
    avcodec_free_context(&r->video);
    avcodec_free_context(&r->audio);
    sws_freeContext(r->scaler);
    av_frame_free(&r->picture);
    av_frame_free(&r->sound);
    av_packet_free(&r->packet);
    delete r;
}

Recording* openRecording(const std::string& path, const EncoderSettings& settings,
                         const MusicTrack* music, std::string& error) {
    av_log_set_level(AV_LOG_QUIET); // failures are reported here, in the program's own words
    Recording* r = new Recording;
    r->settings = settings;
    r->music = music;
    std::string what = path;
    int err = avformat_alloc_output_context2(&r->format, nullptr, "mp4", path.c_str());
    if (err >= 0) {
        err = openVideo(r, what);
    }
    if (err >= 0) {
        err = openAudio(r, what);
    }
    if (err >= 0 && (r->packet = av_packet_alloc()) == nullptr) {
        err = AVERROR(ENOMEM);
    }
    if (err >= 0) {
        what = path;
        err = avio_open(&r->format->pb, path.c_str(), AVIO_FLAG_WRITE);
    }
    if (err >= 0) {
        AVDictionary* options = nullptr;
        // The index goes first so that a shared file starts playing before it is all there.
        av_dict_set(&options, "movflags", "+faststart", 0);
        err = avformat_write_header(r->format, &options);
        av_dict_free(&options);
    }
    if (err < 0) {
        error = what + " : " + avText(err);
        freeRecording(r);
        return nullptr;
    }
    size_t frameBytes = (size_t)settings.width * settings.height * 4;
    for (int i = 0; i < RECORD_FRAME_BUFFERS; i++) {
        r->buffers[i].resize(frameBytes);
        r->freeBuffers.push_back(i);
    }
    r->worker = std::thread(encodeLoop, r);
    return r;
}

uint8_t* nextFrameBuffer(Recording* r) {
    std::unique_lock<std::mutex> hold(r->lock);
    r->changed.wait(hold, [r] { return !r->freeBuffers.empty(); });
    r->filling = r->freeBuffers.front();
    r->freeBuffers.pop_front();
    return r->buffers[r->filling].data();
}

bool submitFrame(Recording* r) {
    std::lock_guard<std::mutex> hold(r->lock);
    if (r->filling >= 0) {
        r->waiting.push_back(r->filling);
        r->filling = -1;
        r->changed.notify_all();
    }
    return !r->failed;
}

void cueMusic(Recording* r, int64_t ms, bool play) {
    std::lock_guard<std::mutex> hold(r->lock);
    r->cues.push_back(MusicCue{ms * r->settings.sampleRate / 1000, play});
}

// Lets the thread take what is queued, then waits for it to end.
static void stopWorker(Recording* r) {
    {
        std::lock_guard<std::mutex> hold(r->lock);
        r->closing = true;
        r->changed.notify_all();
    }
    r->worker.join();
}

bool finishRecording(Recording* r, EncoderTimes& times, std::string& error) {
    stopWorker(r);
    int err = 0;
    if (!r->failed) {
        auto start = std::chrono::steady_clock::now();
        err = encodeSoundUpTo(r, frameSample(r, r->framesEncoded), true, r->cues);
        if (err >= 0 && (err = avcodec_send_frame(r->video, nullptr)) >= 0) {
            err = writePackets(r, r->video, r->videoStream);
        }
        if (err >= 0 && (err = avcodec_send_frame(r->audio, nullptr)) >= 0) {
            err = writePackets(r, r->audio, r->audioStream);
        }
        if (err >= 0) {
            err = av_write_trailer(r->format);
        }
        if (err >= 0) {
            err = avio_closep(&r->format->pb);
        }
        r->times.encodeSeconds += secondsSince(start);
        if (err < 0) {
            r->failed = true;
            r->error = (r->writeFailed || err == AVERROR(ENOSPC) || err == AVERROR(EFBIG)
                            ? "\xe9"
                              "criture : "
                            : "encodage : ") +
                       avText(err);
        }
    }
    bool ok = !r->failed;
    error = r->error;
    times = r->times;
    freeRecording(r);
    return ok;
}

void abandonRecording(Recording* r) {
    {
        std::lock_guard<std::mutex> hold(r->lock);
        r->failed = true; // the thread drops what is still queued
    }
    stopWorker(r);
    freeRecording(r);
}
