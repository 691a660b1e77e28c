#include <gtest/gtest.h>

#include "encoder_process.h"
#include "worker_fakes.h"

namespace {

TEST(WorkerEncoderRuns, CancelAndPauseReachEveryRunningEncoderAndOnlyThose) {
    FakeLauncher launcher;
    launcher.plans = {{false, 0, true}, {true, 0, false}, {false, 0, true}, {false, 0, true}};
    EncoderRuns runs;
    std::atomic<bool> stop{false};
    bool stopped = true;

    auto first = runs.Start(launcher, "a", {}, stop, stopped);
    ASSERT_TRUE(first);
    EXPECT_FALSE(stopped);
    // A failed start holds nothing.
    EXPECT_FALSE(runs.Start(launcher, "b", {}, stop, stopped));
    EXPECT_FALSE(stopped);
    auto third = runs.Start(launcher, "c", {}, stop, stopped);
    EXPECT_EQ(runs.Count(), 2);

    runs.SuspendAll();
    EXPECT_EQ(launcher.Suspended(), 2);
    // Started while paused: held at once.
    auto fourth = runs.Start(launcher, "d", {}, stop, stopped);
    EXPECT_EQ(launcher.Suspended(), 3);
    runs.ResumeAll();
    EXPECT_EQ(launcher.Suspended(), 0);

    // A run let go of is no longer reached.
    runs.Release(fourth);
    runs.TerminateAll();
    EXPECT_EQ(launcher.Terminations(), 2);
    first->Wait();
    third->Wait();
    fourth->Terminate();
    fourth->Wait();

    // A stop flag set before the start prevents it.
    stop = true;
    EXPECT_FALSE(runs.Start(launcher, "e", {}, stop, stopped));
    EXPECT_TRUE(stopped);
    EXPECT_EQ(launcher.Starts(), 4);
}

}  // namespace
