#pragma once
// Interlaced sources (TV recordings, DVDs) are deinterlaced before anything
// else, one picture per frame (29.97 stays 29.97); progressive ones are
// left alone.
#include <string>

extern "C" {
#include <libavcodec/codec_par.h>
#include <libavutil/frame.h>
}

// The deinterlacing filter for a picture stream whose first decoded frame
// is `first`: every frame when the stream states a field order, only the
// frames flagged interlaced when just those flags say so; "" for a
// progressive source, or when this build has neither bwdif nor yadif.
std::string DeinterlaceFilter(const AVCodecParameters* picture, const AVFrame* first);
