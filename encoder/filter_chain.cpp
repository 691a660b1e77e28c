#include "filter_chain.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

FilterChain::FilterChain(const char* source, const std::string& source_args, const std::string& chain,
                         int frame_size)
    : graph_(avfilter_graph_alloc()) {
    if (!graph_) throw Failure(FailureReason::Internal, "out of memory");
    // nb_threads stays 0 (one per core): the scaler works in slices.
    const bool audio = std::string(source) == "abuffer";
    const AVFilter* src = avfilter_get_by_name(source);
    const AVFilter* sink = avfilter_get_by_name(audio ? "abuffersink" : "buffersink");
    if (!src || !sink) throw Failure(FailureReason::Internal, "this build lacks the buffer filters");
    av::Check(avfilter_graph_create_filter(&source_, src, "in", source_args.c_str(), nullptr, graph_.get()),
              "filter source");
    av::Check(avfilter_graph_create_filter(&sink_, sink, "out", nullptr, nullptr, graph_.get()),
              "filter sink");

    // avfilter_graph_parse_ptr names the open ends from the chain's point
    // of view: its input is fed by our source, its output feeds our sink.
    av::InOut outputs(avfilter_inout_alloc());
    av::InOut inputs(avfilter_inout_alloc());
    if (!outputs || !inputs) throw Failure(FailureReason::Internal, "out of memory");
    outputs->name = av_strdup("in");
    outputs->filter_ctx = source_;
    inputs->name = av_strdup("out");
    inputs->filter_ctx = sink_;
    if (!outputs->name || !inputs->name) throw Failure(FailureReason::Internal, "out of memory");
    AVFilterInOut* in_raw = inputs.release();
    AVFilterInOut* out_raw = outputs.release();
    const int parsed = avfilter_graph_parse_ptr(graph_.get(), chain.c_str(), &in_raw, &out_raw, nullptr);
    inputs.reset(in_raw);  // whatever the parser left, freed on return
    outputs.reset(out_raw);
    av::Check(parsed, ("filter chain '" + chain + "'").c_str());
    av::Check(avfilter_graph_config(graph_.get(), nullptr), "filter setup");
    if (frame_size > 0) av_buffersink_set_frame_size(sink_, static_cast<unsigned>(frame_size));
}

void FilterChain::Push(AVFrame* frame) {
    av::Check(av_buffersrc_add_frame_flags(source_, frame, AV_BUFFERSRC_FLAG_KEEP_REF), "filtering");
}

void FilterChain::Close(int64_t pts) {
    av::Check(av_buffersrc_close(source_, pts, AV_BUFFERSRC_FLAG_PUSH), "filtering");
}

bool FilterChain::Pull(AVFrame* frame) {
    const int result = av_buffersink_get_frame(sink_, frame);
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return false;
    av::Check(result, "filtering");
    return true;
}

AVRational FilterChain::output_time_base() const { return av_buffersink_get_time_base(sink_); }
