#include <gtest/gtest.h>

#include "encoder_process.h"
#include "worker_fakes.h"

namespace {

TEST(WorkerEncoderSlot, HoldsOnlyTheProcessStartedLast) {
    FakeLauncher launcher;
    launcher.plans = {{false, 0, true}, {true, 0, false}, {false, 0, true}};
    EncoderProcessSlot slot;
    std::atomic<bool> stop{false};
    bool stopped = true;

    auto first = slot.Start(launcher, "a", {}, stop, stopped);
    ASSERT_TRUE(first);
    EXPECT_FALSE(stopped);
    // A failed start leaves no handle: a cancel then reaches nothing, not
    // the earlier process.
    EXPECT_FALSE(slot.Start(launcher, "b", {}, stop, stopped));
    EXPECT_TRUE(slot.Empty());
    slot.Terminate();
    EXPECT_EQ(launcher.Terminations(), 0);

    auto third = slot.Start(launcher, "c", {}, stop, stopped);
    // Letting go of an older run keeps the current one.
    slot.Release(first);
    EXPECT_FALSE(slot.Empty());
    slot.Terminate();
    EXPECT_EQ(launcher.Terminations(), 1);
    third->Wait();  // returns: it was killed
    slot.Release(third);
    EXPECT_TRUE(slot.Empty());
    first->Terminate();
    first->Wait();
}

TEST(WorkerEncoderSlot, AStopFlagSetBeforeTheStartPreventsIt) {
    FakeLauncher launcher;
    EncoderProcessSlot slot;
    std::atomic<bool> stop{true};
    bool stopped = false;
    EXPECT_FALSE(slot.Start(launcher, "a", {}, stop, stopped));
    EXPECT_TRUE(stopped);
    EXPECT_EQ(launcher.Starts(), 0);
}

}  // namespace
