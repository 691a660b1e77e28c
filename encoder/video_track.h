#pragma once
// The output's picture: filtered frames to the MPEG-4 encoder, with an eye
// out for the thumbnail.
#include "psp_output.h"
#include "thumbnail.h"
#include "track_worker.h"

class VideoTrack : public TrackSink {
public:
    // duration: the source's, in seconds; 0 when unknown.
    VideoTrack(PspOutput& output, double duration);

    // A filtered picture; pts counts frames of the output.
    void Add(AVFrame* frame) override;
    // Constant frame rate: the filters already filled every gap.
    void PadTo(int64_t, AVRational) override {}
    // The encoder is drained with the file (PspOutput::Finish).
    void Finish(int64_t, AVRational) override {}

    // The picture for the thumbnail; null when nothing was encoded.
    const AVFrame* thumbnail() const { return picker_.chosen(); }

private:
    PspOutput& output_;
    ThumbnailPicker picker_;
};
