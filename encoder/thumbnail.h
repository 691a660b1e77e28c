#pragma once
// The 160x120 JPEG the PSP lists beside a video ("X.THM" beside "X.MP4").
#include <string>

#include "av_ptr.h"

// Watches the encoded pictures and keeps one that shows something: many
// videos open on black or on a fade, which makes a useless thumbnail.
class ThumbnailPicker {
public:
    // frame_rate: of the output; duration: the source's, 0 when unknown.
    ThumbnailPicker(AVRational frame_rate, double duration);

    // Offers the output picture with the given frame number (yuv420p).
    void Offer(const AVFrame* frame, int64_t number);
    // The chosen picture, or null when none was offered.
    const AVFrame* chosen() const { return chosen_.get(); }

private:
    int64_t step_;   // frames between two looks
    int64_t start_;  // first frame that may be taken without a better one
    bool settled_ = false;
    double best_score_ = -1.0;
    av::Frame chosen_;
};

// Writes `frame` scaled to 160x120 as a JPEG file. Throws Failure.
void WriteThumbnail(const AVFrame* frame, const std::string& path);
