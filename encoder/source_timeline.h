#pragma once
// Places the frames of a source's streams on the output's one time line.
//
// All streams share the source's clock: the output starts at the earliest
// start of the streams used, and a stream that starts later keeps its place
// (the filters fill its start with silence or the first picture held).
//
// Damaged files carry timestamps that jump: a few flipped bits make a 3 s
// clip look hours long, a spliced recording restarts its clock. Filling such
// a jump would run for hours, so a jump counts as a cut: the frame after it
// follows straight on from the one before, and every other stream that
// reaches the same jump is moved by the same amount. A gap in one stream is
// left to the filters when the other streams cover that time; a gap of the
// whole source only while it is short (a dropped packet) and the gaps
// filled so far stay small beside the content itself.
#include <cstdint>
#include <vector>

extern "C" {
#include <libavutil/rational.h>
}

class SourceTimeline {
public:
    // start: the source's time (AV_TIME_BASE units) that becomes 0.
    SourceTimeline(int64_t start, int streams);

    // Where a frame of stream `stream` starting at `pts` (AV_NOPTS_VALUE:
    // right after the stream's previous frame) and lasting `duration` goes
    // in the output; all in `time_base`.
    int64_t Place(int stream, int64_t pts, int64_t duration, AVRational time_base);

    // End of everything placed so far; 0 before the first frame.
    int64_t end(AVRational time_base) const;
    double end_seconds() const;
    // Source time the cuts have left out so far (the latest cut's net move
    // ahead; a clock that started again leaves nothing out), in seconds.
    double cut_seconds() const;
    // The source's own timestamp of output time `out` of stream `stream`
    // (both in `time_base`), by the cut that stream is at.
    int64_t SourceTime(int stream, int64_t out, AVRational time_base) const;

private:
    // Times in AV_TIME_BASE units.
    struct Stream {
        int64_t shift;    // subtracted from its timestamps
        int64_t end = 0;  // of its frames placed so far
        int64_t content = 0;
    };
    bool Fits(const Stream& stream, int64_t out) const;

    std::vector<Stream> streams_;
    int64_t start_;        // the shift before any cut
    int64_t shift_;        // of the latest cut, for the streams still to reach it
    int64_t end_ = 0;      // of all streams
    int64_t content_ = 0;  // placed frame time of the longest stream
    int64_t filled_ = 0;   // time the whole source was extended by gaps
};
