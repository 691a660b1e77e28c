#pragma once
// The output's sound: the source's sound (or silence) resampled, mixed to
// the requested channels, volume applied, and encoded as AAC.
#include <memory>

#include "av_ptr.h"
#include "filter_chain.h"
#include "options.h"
#include "psp_output.h"
#include "track_worker.h"

class AudioTrack : public TrackSink {
public:
    AudioTrack(PspOutput& output, const EncodeOptions& options);

    // Decoded sound with pts in 1/frame->sample_rate, counted from the
    // start of the output (AV_NOPTS_VALUE: right after the previous frame).
    void Add(AVFrame* frame) override;
    // Adds silence until the sound reaches `time` (in `time_base`).
    void PadTo(int64_t time, AVRational time_base) override;
    // Pads to `time`, then drains the chain into the encoder.
    void Finish(int64_t time, AVRational time_base) override;

private:
    // (Re)builds the chain for input in this format.
    void StartChain(AVSampleFormat format, int rate, const AVChannelLayout* layout);
    void Filter(AVFrame* frame);
    void Drain();

    PspOutput& output_;
    const EncodeOptions& options_;
    std::unique_ptr<FilterChain> chain_;
    av::Frame filtered_;
    // The format the chain takes, also used for silence.
    AVSampleFormat format_ = AV_SAMPLE_FMT_NONE;
    int rate_ = 0;
    av::ChannelLayout layout_;
    int64_t next_pts_ = 0;         // end of the sound fed so far, in 1/rate_
    int64_t next_output_pts_ = 0;  // end of the sound encoded so far, in the encoder's time base
};
