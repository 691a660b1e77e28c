// A batch's rows: their order, how many run at once, their ends.
#include <algorithm>

#include "worker_fixture.h"

namespace {

using Texts = std::vector<std::string>;

class WorkerBatch : public WorkerFixture {};

TEST_F(WorkerBatch, OneRowAtATimeConvertsInOrderClimbsAfterEachAndEndsWithTheMessage) {
    AddRows(3);
    auto worker = NewWorker();
    RunBatch(*worker);

    const BatchView end = worker->View();
    EXPECT_EQ(Statuses(end), (Texts{S("完成"), S("完成"), S("完成")}));
    ASSERT_EQ(launcher.CommandLines().size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(launcher.CommandLines()[i], BuildEncoderCommand(setup.rows[i], setup.settings, setup.encoderPath));
    EXPECT_EQ(launcher.MostRunning(), 1);
    EXPECT_TRUE(end.finished);
    EXPECT_TRUE(end.ended);
    EXPECT_EQ(end.finishedMessage, S("已完成"));
    EXPECT_EQ(end.bar, 2000);
    // Each silent row's bar climbed from 0 in 400 steps of 10 ms.
    EXPECT_EQ(pauses, 1200);
    EXPECT_EQ(pausedMilliseconds, 12000);
    // Every row was shown running and selected before it ended, in order;
    // the end message came once, after the last row.
    std::vector<int> selected;
    for (const BatchView& view : Samples())
        if (selected.empty() || selected.back() != view.selectedRow) selected.push_back(view.selectedRow);
    EXPECT_EQ(selected, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(FinishedSamples(), 1);
    EXPECT_TRUE(worker->Finished());
    EXPECT_EQ(launcher.LiveRuns(), 0) << "every process handle is let go";
    EXPECT_EQ(keepAwake.Events(), (Texts{"hold", "release"}));
}

TEST_F(WorkerBatch, TwoAtOnceStartInListOrderNeverMoreAndAFailureStopsNothing) {
    AddRows(5);
    FakeRunPlan held(false, 0, true);
    FakeRunPlan heldFailing(false, 3, true);
    launcher.plans = {held, heldFailing, held, FakeRunPlan(true), held};
    auto worker = NewWorker(2);
    worker->Resume();
    ASSERT_TRUE(launcher.WaitUntil([&] { return launcher.Starts() == 2; }));
    EXPECT_TRUE(ViewBecomes(*worker, [&](const BatchView& v) {
        return Statuses(v) == Texts{S("正在处理"), S("正在处理"), "", "", ""};
    }));

    // Row 1 fails: row 2 takes its place; row 0 runs on untouched.
    launcher.Finish(1);
    ASSERT_TRUE(launcher.WaitUntil([&] { return launcher.Starts() == 3; }));
    EXPECT_TRUE(ViewBecomes(*worker, [&](const BatchView& v) {
        return Statuses(v) == Texts{S("正在处理"), S("失败"), S("正在处理"), "", ""};
    }));
    EXPECT_EQ(launcher.Terminations(), 0);
    // Row 3's encoder cannot start, row 4 follows at once.
    launcher.Finish(0);
    ASSERT_TRUE(launcher.WaitUntil([&] { return launcher.Starts() == 5; }));
    launcher.Finish(2);
    launcher.Finish(4);
    worker->WaitFor();

    const BatchView end = worker->View();
    EXPECT_EQ(Statuses(end), (Texts{S("完成"), S("失败"), S("完成"), S("失败"), S("完成")}));
    EXPECT_EQ(end.rows[1].reason, S("编码器退出代码 3"));
    EXPECT_EQ(end.rows[3].reason, S("无法启动编码器"));
    EXPECT_EQ(end.finishedMessage, S("已完成\n2 个文件转换失败"));
    EXPECT_EQ(launcher.MostRunning(), 2);
    const std::vector<std::string> lines = launcher.CommandLines();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(lines[i], BuildEncoderCommand(setup.rows[i], setup.settings, setup.encoderPath)) << i;
    // Side by side, no row climbs: the bar is the batch's.
    EXPECT_EQ(pauses, 0);
    EXPECT_EQ(end.bar, 2000);
    for (const BatchView& view : Samples()) EXPECT_LE(view.runningRows, 2);
    EXPECT_EQ(FinishedSamples(), 1);
}

TEST_F(WorkerBatch, RowsAddedWhileItRunsJoinAtTheEnd) {
    AddRows(1);
    launcher.plans = {FakeRunPlan(false, 0, true)};
    auto worker = NewWorker();
    worker->Resume();
    ASSERT_TRUE(launcher.WaitUntil([&] { return launcher.Starts() == 1; }));
    ConversionJob late;
    late.Source = "D:\\v\\late.avi";
    late.Target = "E:\\PSP\\M4V30009.MP4";
    worker->AddRows({late});
    launcher.Finish(0);
    worker->WaitFor();
    EXPECT_EQ(Statuses(worker->View()), (Texts{S("完成"), S("完成")}));
    ASSERT_EQ(launcher.Starts(), 2);
    EXPECT_EQ(launcher.CommandLines()[1], BuildEncoderCommand(late, setup.settings, setup.encoderPath));
}

TEST_F(WorkerBatch, AWorkerThatNeverStartedIsFreedAtOnce) {
    AddRows(1);
    auto worker = NewWorker();
    worker->WaitFor();
    worker.reset();
    EXPECT_EQ(launcher.Starts(), 0);
    EXPECT_TRUE(Samples().empty());
}

}  // namespace
