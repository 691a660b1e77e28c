#include "source.h"

#include <cstring>

extern "C" {
#include <libavutil/intreadwrite.h>
}

#include "sound_choice.h"

namespace {

std::string CodecName(AVCodecID id) {
    const char* name = id == AV_CODEC_ID_NONE ? nullptr : avcodec_get_name(id);
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
    if (result == AVERROR(ENOMEM)) throw Failure(FailureReason::Internal, "out of memory");
    // The decoder exists; what it refuses are the stream's own parameters.
    if (result < 0)
        throw Failure(FailureReason::SourceDamaged, std::string("cannot start decoding the ") + kind + " (" +
                                                        CodecName(stream->codecpar->codec_id) +
                                                        "): " + av::ErrorText(result) + "; the file is damaged");
    return ctx;
}

av::Io OpenRaw(const std::string& path) {
    AVIOContext* raw = nullptr;
    if (avio_open(&raw, path.c_str(), AVIO_FLAG_READ) < 0) return nullptr;  // the demuxer read it; no verdict
    return av::Io(raw);
}

// True when the file's first bytes look like a container this build knows.
bool LooksLikeKnownFormat(const std::string& path) {
    av::Io file = OpenRaw(path);
    if (!file) return false;
    uint8_t start[4096 + AVPROBE_PADDING_SIZE] = {};
    const int got = avio_read(file.get(), start, 4096);
    if (got <= 0) return false;
    AVProbeData probe{};
    probe.filename = "";
    probe.buf = start;
    probe.buf_size = got;
    return av_probe_input_format(&probe, 1) != nullptr;
}

[[noreturn]] void CannotOpen(const std::string& path, int code) {
    if (code == AVERROR(ENOMEM)) throw Failure(FailureReason::Internal, "out of memory");
    if (code == AVERROR_INVALIDDATA || code == AVERROR_DEMUXER_NOT_FOUND || code == AVERROR_PATCHWELCOME) {
        // A file that starts like a known container but cannot be opened
        // has lost its index or header (an MP4 whose index was to come at
        // the end of an unfinished download).
        if (LooksLikeKnownFormat(path))
            throw Failure(FailureReason::SourceDamaged, path + ": the file is damaged or incomplete; its layout cannot be read");
        throw Failure(FailureReason::UnsupportedFormat, path + ": not a video file this program can read");
    }
    throw Failure(FailureReason::SourceUnreadable, path + ": cannot open the source: " + av::ErrorText(code));
}

// An AVI file states its length in its first RIFF header. The AVI demuxer
// quietly shortens the duration of a file that is cut off (an unfinished
// download); here such a file is refused, as its conversion would stop
// early without anyone noticing.
void CheckAviComplete(const std::string& path) {
    av::Io file = OpenRaw(path);
    if (!file) return;
    uint8_t header[12] = {};
    if (avio_read(file.get(), header, sizeof header) != sizeof header) return;
    if (memcmp(header, "RIFF", 4) != 0 || memcmp(header + 8, "AVI ", 4) != 0) return;
    const int64_t stated = static_cast<int64_t>(AV_RL32(header + 4)) + 8;
    const int64_t actual = avio_size(file.get());
    if (actual >= 0 && actual < stated)
        throw Failure(FailureReason::SourceIncomplete, path + ": the source ends after " + std::to_string(actual) +
                                                           " of " + std::to_string(stated) +
                                                           " bytes; the file is incomplete");
}

// An ASF file states its play time in its file properties; FFmpeg's
// demuxer keeps it to itself. 0 when the file does not say (a broadcast).
double AsfStatedDuration(const std::string& path) {
    // Object GUIDs as stored (little-endian fields).
    static const uint8_t kHeader[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                        0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
    static const uint8_t kFileProperties[16] = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                                0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
    av::Io file = OpenRaw(path);
    if (!file) return 0;
    uint8_t header[30];
    if (avio_read(file.get(), header, sizeof header) != sizeof header || memcmp(header, kHeader, 16) != 0)
        return 0;
    const uint32_t objects = AV_RL32(header + 24);
    int64_t position = sizeof header;
    for (uint32_t i = 0; i < objects && i < 64; ++i) {
        uint8_t object[24 + 68];
        if (avio_seek(file.get(), position, SEEK_SET) < 0 || avio_read(file.get(), object, 24) != 24) return 0;
        const uint64_t size = AV_RL64(object + 16);
        if (size < 24 || size > (1u << 30)) return 0;
        if (memcmp(object, kFileProperties, 16) == 0) {
            if (size < sizeof object || avio_read(file.get(), object + 24, 68) != 68) return 0;
            const uint64_t play = AV_RL64(object + 64);     // 100 ns units, preroll included
            const uint64_t preroll = AV_RL64(object + 80);  // ms
            const bool broadcast = AV_RL32(object + 88) & 1;
            const double seconds = play / 1e7 - preroll / 1e3;
            return broadcast || seconds <= 0 ? 0 : seconds;
        }
        position += static_cast<int64_t>(size);
    }
    return 0;
}

// A stream that states no layout up front (transport and program streams)
// describes its sound only once the sound's first packet comes; sound that
// starts seconds after the picture lies beyond the probe's default reach.
// Looking further keeps the packets read meanwhile in memory, so it is done
// only when sound is missing, and only as far as this.
constexpr int64_t kDeepProbeSeconds = 20;
constexpr int64_t kDeepProbeBytes = 32 << 20;

bool SoundBeyondProbe(AVFormatContext* format) {
    if (av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0) != AVERROR_STREAM_NOT_FOUND) return false;
    for (unsigned i = 0; i < format->nb_streams; ++i)
        if (format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) return true;
    return false;
}

// Opens the file (through `io` when given) and reads its streams' layout.
av::Input OpenInput(const std::string& path, AVIOContext* io, bool deep) {
    AVFormatContext* raw = avformat_alloc_context();
    if (!raw) throw Failure(FailureReason::Internal, "out of memory");
    raw->pb = io;  // stays open when the context goes
    if (deep) {
        raw->max_analyze_duration = kDeepProbeSeconds * AV_TIME_BASE;
        raw->probesize = kDeepProbeBytes;
    }
    int result = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
    if (result < 0) CannotOpen(path, result);
    av::Input format(raw);
    if (std::strcmp(raw->iformat->name, "avi") == 0) CheckAviComplete(path);
    result = avformat_find_stream_info(raw, nullptr);
    if (result == AVERROR(ENOMEM)) throw Failure(FailureReason::Internal, "out of memory");
    if (result < 0)
        throw Failure(FailureReason::SourceDamaged, path + ": cannot read the layout of its streams (" +
                                                        av::ErrorText(result) + "); the file is damaged");
    return format;
}

}  // namespace

Source::Source(const std::string& path, AVIOContext* io, bool chinese_sound) : path_(path) {
    format_ = OpenInput(path, io, false);
    if (!io && SoundBeyondProbe(format_.get())) format_ = OpenInput(path, nullptr, true);
    AVFormatContext* raw = format_.get();

    // The best picture stream prefers moving pictures, so when it is a
    // cover image (of a music file), there is no video.
    const AVCodec* decoder = nullptr;
    video_index_ = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (video_index_ == AVERROR_STREAM_NOT_FOUND ||
        (video_index_ >= 0 && (raw->streams[video_index_]->disposition & AV_DISPOSITION_ATTACHED_PIC)))
        throw Failure(FailureReason::UnsupportedFormat, path + ": the file holds no video");
    if (video_index_ < 0) {
        // The best stream exists but nothing here decodes it.
        const int any = av_find_best_stream(raw, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        throw Failure(FailureReason::UnsupportedFormat,
                      path + ": its video (" +
                          CodecName(any >= 0 ? raw->streams[any]->codecpar->codec_id : AV_CODEC_ID_NONE) +
                          ") is in a format this program cannot decode");
    }
    AVStream* vs = raw->streams[video_index_];
    if (vs->codecpar->width <= 0 || vs->codecpar->height <= 0)
        throw Failure(FailureReason::SourceDamaged, path + ": the video has no frame size; the file is damaged");
    video_ = OpenDecoder(vs, decoder, "video");

    audio_index_ = ChooseSoundStream(raw, video_index_, chinese_sound, &decoder);
    if (audio_index_ == AVERROR_DECODER_NOT_FOUND) {
        const int any = av_find_best_stream(raw, AVMEDIA_TYPE_AUDIO, -1, video_index_, nullptr, 0);
        throw Failure(FailureReason::UnsupportedFormat,
                      path + ": its sound (" +
                          CodecName(any >= 0 ? raw->streams[any]->codecpar->codec_id : AV_CODEC_ID_NONE) +
                          ") is in a format this program cannot decode");
    }
    if (audio_index_ >= 0) {
        audio_ = OpenDecoder(raw->streams[audio_index_], decoder, "sound");
    } else {
        audio_index_ = -1;  // no sound: the output gets a silent track
    }

    // The demuxer skips whatever else the file carries.
    for (unsigned i = 0; i < raw->nb_streams; ++i)
        if (static_cast<int>(i) != video_index_ && static_cast<int>(i) != audio_index_)
            raw->streams[i]->discard = AVDISCARD_ALL;

    // Only a length the file states counts; one estimated from timestamps
    // or the bit rate proves nothing about a missing end.
    if (std::strcmp(raw->iformat->name, "asf") == 0)
        stated_duration_ = AsfStatedDuration(path);
    else if (raw->duration_estimation_method == AVFMT_DURATION_FROM_STREAM && raw->duration > 0)
        stated_duration_ = raw->duration / static_cast<double>(AV_TIME_BASE);
}

int64_t Source::start_time() const {
    int64_t start = AV_NOPTS_VALUE;
    for (const AVStream* stream : {video_stream(), audio_stream()}) {
        if (!stream || stream->start_time == AV_NOPTS_VALUE) continue;
        const int64_t t = av_rescale_q(stream->start_time, stream->time_base, AV_TIME_BASE_Q);
        if (start == AV_NOPTS_VALUE || t < start) start = t;
    }
    if (start == AV_NOPTS_VALUE) start = format_->start_time;
    return start == AV_NOPTS_VALUE ? 0 : start;
}

double Source::length_hint() const {
    if (stated_duration_ > 0) return stated_duration_;
    return format_->duration > 0 ? format_->duration / static_cast<double>(AV_TIME_BASE) : 0.0;
}

int64_t Source::known_duration_us() const {
    if (format_->duration <= 0 || format_->duration_estimation_method == AVFMT_DURATION_FROM_BITRATE) return -1;
    return format_->duration;
}

const int32_t* Source::display_matrix() const {
    size_t size = 0;
    const uint8_t* data = av_stream_get_side_data(video_stream(), AV_PKT_DATA_DISPLAYMATRIX, &size);
    return data && size >= 9 * sizeof(int32_t) ? reinterpret_cast<const int32_t*>(data) : nullptr;
}

bool Source::ReadPacket(AVPacket* packet) {
    for (;;) {
        const int result = av_read_frame(format_.get(), packet);
        if (result == AVERROR(ENOMEM)) throw Failure(FailureReason::Internal, "out of memory");
        if (result < 0) {
            // Demuxers report a failed read (a drive gone, a network share
            // lost) as the end of the file or as damage; the I/O context
            // keeps the error.
            const AVIOContext* io = format_->pb;
            const int error = io && io->error < 0 ? io->error : result;
            if (error == AVERROR_EOF) return false;
            // Damage the demuxer cannot get past ends the content; the
            // length check tells that from a file cut off.
            if (error == AVERROR_INVALIDDATA) return false;
            throw Failure(FailureReason::SourceUnreadable,
                          path_ + ": reading the source stopped at byte " + std::to_string(io ? io->pos : 0) + ": " +
                              av::ErrorText(error));
        }
        if (packet->stream_index == video_index_ || packet->stream_index == audio_index_) return true;
        av_packet_unref(packet);
    }
}
