#include "source_timeline.h"

#include <algorithm>

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/mathematics.h>
}

namespace {

// A gap of the whole source of up to this much is filled; such gaps may add
// up to this plus a tenth of the content (a recording that loses its
// signal now and then keeps its pauses).
constexpr int64_t kMaxGap = 3 * AV_TIME_BASE;
// Overlaps up to this much are left to the filters, which drop the frames
// or samples that fall behind.
constexpr int64_t kMaxOverlap = AV_TIME_BASE;
// Timestamps beyond this are garbage, and kept out of the arithmetic so
// that nothing here can overflow.
constexpr int64_t kMaxTimestamp = INT64_C(1) << 60;

// In AV_TIME_BASE units; AV_NOPTS_VALUE for none or garbage.
int64_t Microseconds(int64_t t, AVRational time_base) {
    if (t == AV_NOPTS_VALUE) return AV_NOPTS_VALUE;
    t = av_rescale_q(t, time_base, AV_TIME_BASE_Q);  // INT64_MIN on overflow
    return t > -kMaxTimestamp && t < kMaxTimestamp ? t : AV_NOPTS_VALUE;
}

}  // namespace

SourceTimeline::SourceTimeline(int64_t start, int streams)
    : streams_(streams, Stream{std::clamp(start, -kMaxTimestamp, kMaxTimestamp)}), start_(streams_[0].shift),
      shift_(start_) {}

bool SourceTimeline::Fits(const Stream& stream, int64_t out) const {
    if (out - stream.end < -kMaxOverlap) return false;
    const int64_t beyond = out - end_;  // past everything placed so far
    return beyond <= 0 || (beyond <= kMaxGap && filled_ + beyond <= kMaxGap + content_ / 10);
}

int64_t SourceTimeline::Place(int index, int64_t pts, int64_t duration, AVRational time_base) {
    Stream& s = streams_[index];
    duration = std::clamp<int64_t>(Microseconds(std::max<int64_t>(duration, 0), time_base), 0, kMaxGap);
    int64_t out = s.end;
    const int64_t t = Microseconds(pts, time_base);
    if (t != AV_NOPTS_VALUE) {
        out = t - s.shift;
        if (!Fits(s, out)) {
            // The cut another stream found here, or a new one.
            if (s.shift == shift_ || !Fits(s, t - shift_))
                shift_ = std::clamp(t - s.end, -kMaxTimestamp, kMaxTimestamp);
            s.shift = shift_;
            out = t - s.shift;
        }
        filled_ += std::max<int64_t>(out - end_, 0);
    }
    s.content += duration;
    content_ = std::max(content_, s.content);
    s.end = std::max(s.end, out + duration);
    end_ = std::max(end_, s.end);
    return av_rescale_q(out, AV_TIME_BASE_Q, time_base);
}

int64_t SourceTimeline::end(AVRational time_base) const { return av_rescale_q(end_, AV_TIME_BASE_Q, time_base); }

double SourceTimeline::end_seconds() const { return end_ / static_cast<double>(AV_TIME_BASE); }

double SourceTimeline::cut_seconds() const {
    return std::max<int64_t>(shift_ - start_, 0) / static_cast<double>(AV_TIME_BASE);
}

int64_t SourceTimeline::SourceTime(int stream, int64_t out, AVRational time_base) const {
    return out + av_rescale_q(streams_[stream].shift, AV_TIME_BASE_Q, time_base);
}
