#include "av_ptr.h"

namespace av {

Frame NewFrame() {
    Frame f(av_frame_alloc());
    if (!f) throw Failure("out of memory");
    return f;
}

Packet NewPacket() {
    Packet p(av_packet_alloc());
    if (!p) throw Failure("out of memory");
    return p;
}

Codec NewCodec(const AVCodec* codec) {
    Codec c(avcodec_alloc_context3(codec));
    if (!c) throw Failure("out of memory");
    return c;
}

void ChannelLayout::Assign(const AVChannelLayout* from) {
    av_channel_layout_uninit(&layout_);
    Check(av_channel_layout_copy(&layout_, from), "channel layout");
}

std::string ErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

}  // namespace av
