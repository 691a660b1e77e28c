#pragma once
// One linear libavfilter graph: a buffer source, a chain described in
// FFmpeg's filter syntax, and a buffer sink.
#include <string>

#include "av_ptr.h"

class FilterChain {
public:
    // source: "buffer" or "abuffer" with its argument text; chain: e.g.
    // "scale=320:240,format=yuv420p". For sound, frame_size > 0 makes the
    // sink hand out frames of exactly that many samples (the last one
    // shorter), as an AAC encoder requires.
    FilterChain(const char* source, const std::string& source_args, const std::string& chain,
                int frame_size = 0);

    // Hands a frame to the chain; the frame keeps its own data.
    void Push(AVFrame* frame);
    // Ends the input at `pts` (in the source's time base).
    void Close(int64_t pts);
    // The next filtered frame; false when none is ready or the chain is done.
    bool Pull(AVFrame* frame);

    AVRational output_time_base() const;

private:
    av::Graph graph_;
    AVFilterContext* source_ = nullptr;  // owned by graph_
    AVFilterContext* sink_ = nullptr;    // owned by graph_
};
