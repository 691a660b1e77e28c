#include <algorithm>

#include "worker_fixture.h"

namespace {

using Texts = std::vector<std::string>;

class WorkerCancel : public WorkerFixture {};

TEST_F(WorkerCancel, DuringTheSecondOfThreeRowsKillsItsEncoderAndStops) {
    AddRows(3);
    launcher.plans = {{}, {false, 0, true}};
    auto worker = NewWorker();
    worker->Resume();
    ASSERT_TRUE(launcher.WaitUntil([&] { return launcher.Running() == 1 && launcher.Starts() == 2; }));
    worker->Cancel();
    worker->WaitFor();

    const BatchView end = worker->View();
    EXPECT_EQ(Statuses(end), (Texts{S("完成"), S("放弃"), ""}));
    EXPECT_EQ(launcher.Terminations(), 1);
    EXPECT_EQ(launcher.Starts(), 2);
    EXPECT_FALSE(end.finished) << "no end message after a cancel";
    EXPECT_TRUE(end.ended);
    // What the killed encoder left half-written is removed; the target is not.
    EXPECT_EQ(files.removals, (Texts{"E:\\PSP\\M4V30001.MP4.part", "E:\\PSP\\M4V30001.THM.part"}));
    EXPECT_EQ(launcher.LiveRuns(), 0);
    EXPECT_EQ(pauses, 400) << "the killed row does not climb";
}

TEST_F(WorkerCancel, WithTwoRunningKillsBothKeepsTheEndedAndLeavesTheWaiting) {
    AddRows(5);
    FakeRunPlan held(false, 0, true);
    launcher.plans = {FakeRunPlan(false, 2), held, held};
    auto worker = NewWorker(2);
    worker->Resume();
    ASSERT_TRUE(launcher.WaitUntil([&] { return launcher.Starts() == 3 && launcher.Running() == 2; }));
    worker->Cancel();
    worker->WaitFor();

    const BatchView end = worker->View();
    EXPECT_EQ(Statuses(end), (Texts{S("失败"), S("放弃"), S("放弃"), "", ""}));
    EXPECT_EQ(launcher.Terminations(), 2);
    EXPECT_EQ(launcher.Starts(), 3);
    EXPECT_FALSE(end.finished);
    Texts removed = files.removals;
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, (Texts{"E:\\PSP\\M4V30001.MP4.part", "E:\\PSP\\M4V30001.THM.part",
                              "E:\\PSP\\M4V30002.MP4.part", "E:\\PSP\\M4V30002.THM.part"}));
    EXPECT_EQ(keepAwake.Events(), (Texts{"hold", "release"}));
}

TEST_F(WorkerCancel, AfterTheBatchHasEndedChangesNothing) {
    AddRows(2);
    auto worker = NewWorker();
    RunBatch(*worker);
    worker->Cancel();
    const BatchView end = worker->View();
    EXPECT_EQ(Statuses(end), (Texts{S("完成"), S("完成")}));
    EXPECT_TRUE(end.finished);
    EXPECT_EQ(launcher.Terminations(), 0);
}

}  // namespace
