// The source's one time line: streams that start apart keep their distance,
// a cut moves every stream alike, garbage stays bounded.
#include <gtest/gtest.h>

#include "source_timeline.h"

namespace {

constexpr AVRational kMs{1, 1000};

// Reads 40 ms pictures (stream 0) and 20 ms blocks of sound (1) for 10 s,
// each stream from its first frame on, the sound `lag` ms behind in the
// file; clock: the source's timestamp of a time. Every frame must land on
// its time.
void ExpectInStep(int64_t (*clock)(int64_t), int64_t first_picture, int64_t first_sound, int64_t lag) {
    SourceTimeline timeline(clock(0) * 1000, 2);
    for (int64_t ms = 0; ms < 10000; ms += 20) {
        if (ms % 40 == 0 && ms >= first_picture) {
            ASSERT_EQ(timeline.Place(0, clock(ms), 40, kMs), ms) << "picture";
        }
        if (ms - lag >= first_sound) {
            ASSERT_EQ(timeline.Place(1, clock(ms - lag), 20, kMs), ms - lag) << "sound";
        }
    }
    EXPECT_EQ(timeline.end(kMs), 10000);
}

TEST(SourceTimeline, StreamsStayInStep) {
    const auto plain = [](int64_t ms) { return 2000 + ms; };
    for (const int64_t late : {1000, 5000, 8000}) {
        ExpectInStep(+plain, 0, late, 0);
        ExpectInStep(+plain, late, 0, 0);
    }
    // Spliced recordings: the clock jumps an hour ahead, or starts again.
    ExpectInStep(+[](int64_t ms) { return ms < 3000 ? ms : ms + 3600000; }, 0, 0, 300);
    ExpectInStep(+[](int64_t ms) { return ms < 3000 ? ms + 3600000 : ms - 3000; }, 0, 0, 300);
}

TEST(SourceTimeline, GarbageIsCutAndBounded) {
    // An absurd timestamp, or one that would overflow, goes straight after
    // the frame before, and the next good one after it.
    SourceTimeline timeline(INT64_MIN + 1, 2);
    int64_t ms = 0;
    for (const int64_t bad : {INT64_C(1) << 40, INT64_MAX, INT64_MIN + 1, -(INT64_C(1) << 50), INT64_MIN}) {
        const int64_t good = timeline.Place(0, ms, 40, kMs);
        EXPECT_EQ(timeline.Place(0, bad, 40, kMs), good + 40);
        EXPECT_EQ(timeline.Place(0, ms += 80, 40, kMs), good + 80);
    }
    // Sound that jumps 2 s ahead every 20 ms fills only its allowance.
    SourceTimeline creeping(0, 2);
    for (int64_t i = 0; i < 100; ++i) creeping.Place(1, i * 2000, 20, kMs);
    EXPECT_LE(creeping.end(kMs), 2000 + 3000 + 200);
}

TEST(SourceTimeline, CutsAreCountedAndSourceTimeFollowsThem) {
    // A recording paused for 10 s after 5 s: the pause is cut out and
    // counted, and each stream maps its output time back to the source's.
    SourceTimeline paused(1000 * 1000, 2);
    for (int64_t ms = 0; ms < 10000; ms += 40) {
        const int64_t source_ms = 1000 + (ms < 5000 ? ms : ms + 10000);
        const int64_t out = paused.Place(0, source_ms, 40, kMs);
        ASSERT_EQ(out, ms);
        ASSERT_EQ(paused.SourceTime(0, out, kMs), source_ms);
        paused.Place(1, source_ms, 40, kMs);
    }
    EXPECT_DOUBLE_EQ(paused.cut_seconds(), 10.0);
    EXPECT_EQ(paused.end(kMs), 10000);
    // A clock that starts again leaves nothing out.
    SourceTimeline restarted(0, 2);
    for (int64_t ms = 0; ms < 6000; ms += 40) restarted.Place(0, ms < 3000 ? ms + 3000 : ms - 3000, 40, kMs);
    EXPECT_DOUBLE_EQ(restarted.cut_seconds(), 0.0);
}

}  // namespace
