#include "source.h"

#include <cstring>

extern "C" {
#include <libavutil/intreadwrite.h>
}

namespace {

std::string CodecName(AVCodecID id) {
    const char* name = avcodec_get_name(id);
    return name ? name : "unknown";
}

av::Codec OpenDecoder(AVStream* stream, const AVCodec* codec, const char* kind) {
    av::Codec ctx = av::NewCodec(codec);
    av::Check(avcodec_parameters_to_context(ctx.get(), stream->codecpar), "decoder parameters");
    ctx->pkt_timebase = stream->time_base;
    // Let the decoder spread over the cores; its threads work while the
    // encoders run.
    ctx->thread_count = 0;
    const int result = avcodec_open2(ctx.get(), codec, nullptr);
    if (result < 0)
        throw Failure(std::string("cannot open the ") + kind + " decoder (" +
                      CodecName(stream->codecpar->codec_id) + "): " + av::ErrorText(result));
    return ctx;
}

// An AVI file states its length in its first RIFF header. The AVI demuxer
// quietly shortens the duration of a file that is cut off (an unfinished
// download); here such a file is refused, as its conversion would stop
// early without anyone noticing.
void CheckAviComplete(const std::string& path) {
    AVIOContext* raw = nullptr;
    if (avio_open(&raw, path.c_str(), AVIO_FLAG_READ) < 0) return;  // the demuxer read it; no verdict
    av::Io file(raw);
    uint8_t header[12] = {};
    if (avio_read(file.get(), header, sizeof header) != sizeof header) return;
    if (memcmp(header, "RIFF", 4) != 0 || memcmp(header + 8, "AVI ", 4) != 0) return;
    const int64_t stated = static_cast<int64_t>(AV_RL32(header + 4)) + 8;
    const int64_t actual = avio_size(file.get());
    if (actual >= 0 && actual < stated)
        throw Failure(path + ": the file is truncated (" + std::to_string(actual) + " of " +
                      std::to_string(stated) + " bytes)");
}

}  // namespace

Source::Source(const std::string& path) : path_(path) {
    AVFormatContext* raw = nullptr;
    int result = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
    if (result < 0) {
        throw Failure(path + ": " + (result == AVERROR_INVALIDDATA
                                         ? std::string("not a video file this program can read")
                                         : av::ErrorText(result)));
    }
    format_.reset(raw);
    if (std::strcmp(raw->iformat->name, "avi") == 0) CheckAviComplete(path);
    result = avformat_find_stream_info(raw, nullptr);
    if (result < 0) throw Failure(path + ": cannot read the stream layout: " + av::ErrorText(result));

    // The best picture stream prefers moving pictures, so when it is a
    // cover image (of a music file), there is no video.
    const AVCodec* decoder = nullptr;
    video_index_ = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (video_index_ == AVERROR_STREAM_NOT_FOUND ||
        (video_index_ >= 0 && (raw->streams[video_index_]->disposition & AV_DISPOSITION_ATTACHED_PIC)))
        throw Failure(path + ": the file holds no video");
    if (video_index_ < 0) {
        // The best stream exists but nothing here decodes it.
        const int any = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        throw Failure(path + ": unsupported video codec (" +
                      CodecName(raw->streams[any]->codecpar->codec_id) + ")");
    }
    AVStream* vs = raw->streams[video_index_];
    if (vs->codecpar->width <= 0 || vs->codecpar->height <= 0)
        throw Failure(path + ": the video has no frame size; the file is damaged or truncated");
    video_ = OpenDecoder(vs, decoder, "video");

    audio_index_ = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, video_index_, &decoder, 0);
    if (audio_index_ == AVERROR_DECODER_NOT_FOUND) {
        const int any = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, video_index_, nullptr, 0);
        throw Failure(path + ": unsupported audio codec (" +
                      CodecName(raw->streams[any]->codecpar->codec_id) + ")");
    }
    if (audio_index_ >= 0) {
        audio_ = OpenDecoder(raw->streams[audio_index_], decoder, "audio");
    } else {
        audio_index_ = -1;  // no sound: the output gets a silent track
    }

    // The demuxer skips whatever else the file carries.
    for (unsigned i = 0; i < raw->nb_streams; ++i)
        if (static_cast<int>(i) != video_index_ && static_cast<int>(i) != audio_index_)
            raw->streams[i]->discard = AVDISCARD_ALL;
}

int64_t Source::start_time() const {
    return format_->start_time == AV_NOPTS_VALUE ? 0 : format_->start_time;
}

double Source::declared_duration() const {
    return format_->duration > 0 ? format_->duration / static_cast<double>(AV_TIME_BASE) : 0.0;
}

int64_t Source::known_duration_us() const {
    if (format_->duration <= 0 || format_->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE) return -1;
    return format_->duration;
}

int64_t Source::declared_video_duration() const {
    const AVStream* vs = video_stream();
    return vs->duration > 0 ? vs->duration : 0;
}

int64_t Source::video_start() const { return video_stream()->start_time; }

bool Source::ReadPacket(AVPacket* packet) {
    for (;;) {
        const int result = av_read_frame(format_.get(), packet);
        if (result == AVERROR_EOF) return false;
        if (result < 0) throw Failure("reading the source failed: " + av::ErrorText(result));
        if (packet->stream_index == video_index_ || packet->stream_index == audio_index_) return true;
        av_packet_unref(packet);
    }
}
