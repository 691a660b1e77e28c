#pragma once
// Where a conversion reports how far it has got. Advance comes from the
// thread that encodes the picture; it must be quick and never block.
#include <cstdint>

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    // The source's length in microseconds; -1 when it is not known.
    virtual void SetDuration(int64_t duration_us) = 0;
    // Media time (microseconds) and pictures encoded so far.
    virtual void Advance(int64_t done_us, int64_t frames) = 0;
};
