#include "av_ptr.h"

#include <cerrno>

FailureReason OutputFailureReason(int code) {
    switch (code) {
    case AVERROR(ENOSPC):
#ifdef EDQUOT
    case AVERROR(EDQUOT):
#endif
        return FailureReason::DiskFull;
    case AVERROR(ENOENT):
    case AVERROR(ENOTDIR):
        return FailureReason::OutputFolderMissing;
    case AVERROR(ENOMEM):
        return FailureReason::Internal;
    default:  // no permission, read-only medium, a file in the way, an I/O error
        return FailureReason::OutputNotWritable;
    }
}

namespace av {

Frame NewFrame() {
    Frame f(av_frame_alloc());
    if (!f) throw Failure(FailureReason::Internal, "out of memory");
    return f;
}

Packet NewPacket() {
    Packet p(av_packet_alloc());
    if (!p) throw Failure(FailureReason::Internal, "out of memory");
    return p;
}

Codec NewCodec(const AVCodec* codec) {
    Codec c(avcodec_alloc_context3(codec));
    if (!c) throw Failure(FailureReason::Internal, "out of memory");
    return c;
}

void ChannelLayout::Assign(const AVChannelLayout* from) {
    av_channel_layout_uninit(&layout_);
    Check(av_channel_layout_copy(&layout_, from), "channel layout");
}

int CheckWrite(int result, const char* what) {
    if (result < 0) throw Failure(OutputFailureReason(result), std::string(what) + ": " + ErrorText(result));
    return result;
}

std::string ErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace av
