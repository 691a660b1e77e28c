#include <gtest/gtest.h>

#include <vector>

#include "finish_progress.h"

namespace {

struct Climb {
    std::vector<int> positions;
    int pausedMilliseconds = 0;
};

Climb ClimbFrom(int start, int stopAfter = -1) {
    Climb climb;
    FinishProgress(
        start,
        [&](int position) {
            climb.positions.push_back(position);
            return static_cast<int>(climb.positions.size()) != stopAfter;
        },
        [&](int ms) { climb.pausedMilliseconds += ms; });
    return climb;
}

TEST(WorkerFinishProgress, ClimbsInStepsOfFiveEveryTenMillisecondsAndStopsWhenTold) {
    const struct {
        int start, steps;
    } cases[] = {{0, 400}, {1, 400}, {1000, 200}, {1995, 1}, {1996, 1}, {1998, 1}, {1999, 1}, {2000, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE("from " + std::to_string(c.start));
        const Climb climb = ClimbFrom(c.start);
        ASSERT_EQ(static_cast<int>(climb.positions.size()), c.steps);
        EXPECT_EQ(climb.pausedMilliseconds, 10 * c.steps);
        if (c.steps > 0) {
            EXPECT_EQ(climb.positions.front(), std::min(c.start + 5, 2000));
            EXPECT_EQ(climb.positions.back(), 2000);
        }
    }
    // A cancel ends the climb at the step it came.
    EXPECT_EQ(ClimbFrom(0, 3).positions, (std::vector<int>{5, 10, 15}));
}

}  // namespace
