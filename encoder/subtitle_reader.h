#pragma once
// One subtitle stream of a file, decoded in file order: what the text and
// the picture subtitles are read from ahead of the conversion.
#include <string>

#include "av_ptr.h"

class SubtitleReader {
public:
    // Stream `stream` of `path` (-1: its first subtitle stream). Throws
    // Failure when it cannot be opened or decoded.
    SubtitleReader(const std::string& path, int stream);

    const AVCodecContext& decoder() const { return *decoder_; }
    // The next subtitle in place of what `subtitle` held, its pts (AV_TIME_BASE units) taken from its packet
    // when the decoder gives none; damaged or timeless ones are left out.
    // False at the end.
    bool Next(av::Subtitle* subtitle);

private:
    av::Input input_;
    av::Codec decoder_;
    av::Packet packet_ = av::NewPacket();
    int stream_ = -1;
};
