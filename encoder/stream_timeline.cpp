#include "stream_timeline.h"

#include <algorithm>

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/mathematics.h>
}

namespace {

// A gap of up to this much is filled; the gaps filled in all may add up to
// this plus a tenth of the content (a recording that loses its signal now
// and then keeps its pauses).
constexpr int64_t kMaxGapMs = 3000;
// Overlaps up to this much are left to the filters, which drop the frames
// or samples that fall behind.
constexpr int64_t kMaxOverlapMs = 1000;
// Timestamps beyond this are garbage, and kept out of the arithmetic so
// that nothing here can overflow.
constexpr int64_t kMaxTimestamp = INT64_C(1) << 60;

}  // namespace

StreamTimeline::StreamTimeline(AVRational time_base)
    : time_base_(time_base),
      max_gap_(av_rescale_q(kMaxGapMs, {1, 1000}, time_base)),
      max_overlap_(av_rescale_q(kMaxOverlapMs, {1, 1000}, time_base)) {}

int64_t StreamTimeline::Place(int64_t pts, int64_t duration) {
    duration = std::clamp<int64_t>(duration, 0, max_gap_);
    int64_t out = end_;
    if (pts != AV_NOPTS_VALUE && pts > -kMaxTimestamp && pts < kMaxTimestamp) {
        out = pts - shift_;
        const int64_t gap = out - end_;
        const bool fillable = gap <= max_gap_ && filled_ + gap <= max_gap_ + content_ / 10;
        if (gap > 0 && !fillable) {
            shift_ += gap;
            out = end_;
            ++cuts_;
        } else if (gap < -max_overlap_) {
            shift_ += gap;
            out = end_;
            ++cuts_;
        } else if (gap > 0) {
            filled_ += gap;
        }
        // A shift that keeps growing would one day overflow; a stream that
        // jumps that often has nothing left worth keeping in step.
        shift_ = std::clamp(shift_, -kMaxTimestamp, kMaxTimestamp);
    }
    content_ += duration;
    end_ = std::max(end_, out + duration);
    return out;
}

double StreamTimeline::end_seconds() const { return end_ * av_q2d(time_base_); }
