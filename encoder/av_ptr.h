#pragma once
// Owning handles for FFmpeg objects, so that every exit path, including an
// exception thrown half-way through setting up, frees exactly what was made.
#include <memory>
#include <string>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavfilter/avfilter.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include "failure.h"

// Why creating or writing an output file failed, from FFmpeg's error code
// (AVERROR(errno) for system errors).
FailureReason OutputFailureReason(int code);

namespace av {

struct InputDeleter {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
// The output context owns no I/O of its own: the muxer's AVIOContext is
// closed explicitly when finishing, because that close can fail (a full disk
// shows up there) and must be checked.
struct OutputDeleter {
    void operator()(AVFormatContext* c) const {
        if (c->pb && !(c->oformat->flags & AVFMT_NOFILE)) avio_closep(&c->pb);
        avformat_free_context(c);
    }
};
struct CodecDeleter {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameDeleter {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketDeleter {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct GraphDeleter {
    void operator()(AVFilterGraph* g) const { avfilter_graph_free(&g); }
};
struct InOutDeleter {
    void operator()(AVFilterInOut* io) const { avfilter_inout_free(&io); }
};
struct IoDeleter {
    void operator()(AVIOContext* io) const { avio_closep(&io); }
};
struct SwsDeleter {
    void operator()(SwsContext* s) const { sws_freeContext(s); }
};

using Input = std::unique_ptr<AVFormatContext, InputDeleter>;
using Output = std::unique_ptr<AVFormatContext, OutputDeleter>;
using Codec = std::unique_ptr<AVCodecContext, CodecDeleter>;
using Frame = std::unique_ptr<AVFrame, FrameDeleter>;
using Packet = std::unique_ptr<AVPacket, PacketDeleter>;
using Graph = std::unique_ptr<AVFilterGraph, GraphDeleter>;
using InOut = std::unique_ptr<AVFilterInOut, InOutDeleter>;
using Sws = std::unique_ptr<SwsContext, SwsDeleter>;
using Io = std::unique_ptr<AVIOContext, IoDeleter>;

// A channel layout may own a channel map, so it is freed like the rest.
class ChannelLayout {
public:
    ChannelLayout() = default;
    ~ChannelLayout() { av_channel_layout_uninit(&layout_); }
    ChannelLayout(const ChannelLayout&) = delete;
    ChannelLayout& operator=(const ChannelLayout&) = delete;
    void Assign(const AVChannelLayout* from);  // throws Failure
    const AVChannelLayout* get() const { return &layout_; }

private:
    AVChannelLayout layout_{};
};

// A decoded subtitle, freed with its rectangles.
struct Subtitle {
    AVSubtitle value{};
    Subtitle() = default;
    ~Subtitle() { avsubtitle_free(&value); }
    Subtitle(const Subtitle&) = delete;
    Subtitle& operator=(const Subtitle&) = delete;
};

// Allocators that never hand back null.
Frame NewFrame();
Packet NewPacket();
Codec NewCodec(const AVCodec* codec);

// FFmpeg's text for an error code.
std::string ErrorText(int code);

// Throws Failure("<what>: <FFmpeg's reason>") for a negative result; the
// reason is Internal (out of memory, a refused setting).
inline int Check(int result, const char* what) {
    if (result < 0) throw Failure(FailureReason::Internal, std::string(what) + ": " + ErrorText(result));
    return result;
}

// The same for a step that writes the output file: a full disk, a missing
// folder or a refused write are the user's to mend, and named so.
int CheckWrite(int result, const char* what);

}  // namespace av
