#include "audio_track.h"

#include <algorithm>

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace {

std::string SourceArgs(AVSampleFormat format, int rate, const AVChannelLayout* layout) {
    char description[128] = {};
    av_channel_layout_describe(layout, description, sizeof description);
    return "time_base=1/" + std::to_string(rate) + ":sample_rate=" + std::to_string(rate) +
           ":sample_fmt=" + av_get_sample_fmt_name(format) + ":channel_layout=" + description;
}

std::string Chain(const EncodeOptions& o, bool first) {
    const std::string target = ":sample_rates=" + std::to_string(o.sample_rate) +
                               ":channel_layouts=" + (o.channels == 1 ? "mono" : "stereo");
    // async fills gaps and trims overlaps in the source's timestamps, so the
    // number of samples keeps the sound in step with the picture; the first
    // chain also pads a late start of the sound with silence.
    std::string chain = "aresample=" + std::to_string(o.sample_rate) + ":async=1";
    if (first) chain += ":first_pts=0";
    if (o.volume_percent != 100) {
        // In 16-bit samples the volume filter clips what it amplifies beyond
        // full scale, instead of handing the encoder overflowing floats.
        chain += ",aformat=sample_fmts=s16" + target + ",volume=volume=" +
                 std::to_string(o.volume_percent / 100.0) + ":precision=fixed";
    }
    return chain + ",aformat=sample_fmts=fltp" + target;
}

}  // namespace

AudioTrack::AudioTrack(PspOutput& output, const EncodeOptions& options)
    : output_(output), options_(options), filtered_(av::NewFrame()) {}

void AudioTrack::StartChain(AVSampleFormat format, int rate, const AVChannelLayout* layout) {
    const bool first = !chain_;
    if (!first) {
        // The source changed its sound format mid-file (TV recordings do):
        // finish the old chain and go on where it ended.
        chain_->Close(next_pts_);
        Drain();
        next_pts_ = av_rescale_q(next_pts_, {1, rate_}, {1, rate});
    }
    format_ = format;
    rate_ = rate;
    layout_.Assign(layout);
    if (layout->order == AV_CHANNEL_ORDER_UNSPEC) {
        // Only a channel count is known: assume the usual layout for it.
        AVChannelLayout usual{};
        av_channel_layout_default(&usual, layout->nb_channels);
        layout_.Assign(&usual);
    }
    chain_ = std::make_unique<FilterChain>("abuffer", SourceArgs(format, rate, layout_.get()),
                                           Chain(options_, first),
                                           output_.audio_encoder()->frame_size);
}

void AudioTrack::Add(AVFrame* frame) {
    if (!chain_ || frame->format != format_ || frame->sample_rate != rate_ ||
        frame->ch_layout.nb_channels != layout_.get()->nb_channels)
        StartChain(static_cast<AVSampleFormat>(frame->format), frame->sample_rate, &frame->ch_layout);
    if (frame->pts == AV_NOPTS_VALUE) frame->pts = next_pts_;
    Filter(frame);
}

void AudioTrack::Filter(AVFrame* frame) {
    next_pts_ = std::max(next_pts_, frame->pts + frame->nb_samples);
    chain_->Push(frame);
    Drain();
}

void AudioTrack::Drain() {
    while (chain_->Pull(filtered_.get())) {
        // One continuous run of samples: the chain has already aligned them
        // with the timestamps, and a rebuilt chain carries straight on.
        filtered_->pts = next_output_pts_;
        next_output_pts_ += filtered_->nb_samples;
        output_.EncodeAudio(filtered_.get());
        av_frame_unref(filtered_.get());
    }
}

void AudioTrack::PadTo(int64_t time, AVRational time_base) {
    if (!chain_) {
        // No sound so far: silence in the encoder's own format.
        const AVCodecContext* enc = output_.audio_encoder();
        StartChain(enc->sample_fmt, enc->sample_rate, &enc->ch_layout);
    }
    const int64_t end = av_rescale_q(time, time_base, {1, rate_});
    constexpr int kChunk = 4096;  // samples per silent frame
    while (next_pts_ < end) {
        av::Frame silence = av::NewFrame();
        silence->format = format_;
        silence->sample_rate = rate_;
        silence->nb_samples = static_cast<int>(std::min<int64_t>(kChunk, end - next_pts_));
        av::Check(av_channel_layout_copy(&silence->ch_layout, layout_.get()), "silence");
        av::Check(av_frame_get_buffer(silence.get(), 0), "silence");
        av::Check(av_samples_set_silence(silence->extended_data, 0, silence->nb_samples,
                                         silence->ch_layout.nb_channels, format_),
                  "silence");
        silence->pts = next_pts_;
        Filter(silence.get());
    }
}

void AudioTrack::Finish(int64_t time, AVRational time_base) {
    // Sound shorter than the picture is completed with silence.
    PadTo(time, time_base);
    chain_->Close(next_pts_);
    Drain();
}
