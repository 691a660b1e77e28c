#pragma once
// Places one source stream's frames on the output's time line.
//
// Damaged files carry timestamps that jump: a few flipped bits make a 3 s
// clip look hours long, a spliced recording restarts its clock. Filling such
// a jump with repeated frames or silence would run for hours and end out of
// step with the other stream, so a jump counts as a cut: the frame after it
// follows straight on from the one before. Only a short gap is left for the
// filters to fill (a late start of the sound, a dropped packet), and only
// while the gaps filled so far stay small beside the content itself.
#include <cstdint>

extern "C" {
#include <libavutil/rational.h>
}

class StreamTimeline {
public:
    // time_base: of the timestamps handed in.
    explicit StreamTimeline(AVRational time_base);

    // Where a frame starting at `pts` (counted from the source's start;
    // AV_NOPTS_VALUE: right after the previous frame) and lasting `duration`
    // goes in the output, in the same time base.
    int64_t Place(int64_t pts, int64_t duration);

    AVRational time_base() const { return time_base_; }
    // End of everything placed so far; 0 before the first frame.
    int64_t end() const { return end_; }
    // Seconds.
    double end_seconds() const;
    // Number of jumps treated as a cut.
    int cuts() const { return cuts_; }

private:
    AVRational time_base_;
    int64_t max_gap_;      // longest gap left to be filled
    int64_t max_overlap_;  // longest step back left to the filters to trim
    int64_t shift_ = 0;    // subtracted from every timestamp: the cuts so far
    int64_t end_ = 0;
    int64_t content_ = 0;  // placed frame time, gaps not counted
    int64_t filled_ = 0;   // gaps left to be filled so far
    int cuts_ = 0;
};
