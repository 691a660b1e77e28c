#include <stdexcept>

#include "worker_fixture.h"

namespace {

using Events = std::vector<std::string>;

class WorkerBatch : public WorkerFixture {};

TEST_F(WorkerBatch, ThreeRowsAreConvertedInOrderThenTheMessageThenTheCaption) {
    AddRows(3);
    std::vector<int> jobAtSelection;
    windows.onEvent = [&](const std::string& e) {
        if (e.rfind("select", 0) == 0) jobAtSelection.push_back(windows.selectedCurrentJob);
    };
    auto worker = NewWorker();
    RunBatch(*worker);

    EXPECT_EQ(windows.Statuses(), (Events{S("完成"), S("完成"), S("完成")}));
    ASSERT_EQ(launcher.CommandLines().size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(launcher.CommandLines()[i], BuildEncoderCommand(windows.rows[i], Settings, EncoderPath));
    EXPECT_EQ(jobAtSelection, (std::vector<int>{0, 1, 2}));
    const Events tail(windows.events.end() - 3, windows.events.end());
    EXPECT_EQ(tail, (Events{"status 2 " + S("完成"), "message", "close caption"}));
    EXPECT_EQ(windows.finishedMessage, S("已完成"));
    EXPECT_FALSE(windows.offThread) << "a window was touched off the UI thread";
    EXPECT_TRUE(worker->Finished());
    // The last process handle is let go once the worker is done.
    EXPECT_EQ(launcher.LiveRuns(), 0);
    EXPECT_TRUE(EncoderProcess.Empty());
}

TEST_F(WorkerBatch, EachRowGoesThroughTheHandOffsInTheirOrder) {
    AddRows(1);
    auto worker = NewWorker();
    RunBatch(*worker);

    EXPECT_EQ(windows.EventsWithoutSteps(),
              (Events{"timer on", "bar=0", "select 0", "read 0", "status 0 " + S("正在处理"), "timer off", "redraw",
                      "status 0 " + S("完成"), "message", "close caption"}));
    // The bar climbed from 0 to 2000 in steps of 5, one pause of 10 ms each,
    // before the row was marked done.
    EXPECT_EQ(pauses, 400);
    EXPECT_EQ(pausedMilliseconds, 4000);
    EXPECT_EQ(windows.bar, 2000);
}

TEST_F(WorkerBatch, FailedOrUnstartableEncoderMarksTheRowFailedAndTheBatchGoesOn) {
    AddRows(4);
    launcher.plans = {{false, 0, false}, {false, 3, false}, {true, 0, false}, {false, 0, false}};
    auto worker = NewWorker();
    RunBatch(*worker);

    EXPECT_EQ(windows.Statuses(), (Events{S("完成"), S("失败"), S("失败"), S("完成")}));
    EXPECT_EQ(windows.Count("redraw"), 2) << "FinishProgress runs after the rows that succeeded only";
    EXPECT_EQ(windows.Count("message"), 1);
    EXPECT_EQ(windows.events.back(), "close caption");
}

TEST_F(WorkerBatch, MissingEncoderFailsEveryRowAndStillEndsTheBatch) {
    AddRows(2);
    launcher.plans = {{true, 0, false}, {true, 0, false}};
    auto worker = NewWorker();
    RunBatch(*worker);

    EXPECT_EQ(windows.Statuses(), (Events{S("失败"), S("失败")}));
    EXPECT_EQ(launcher.Starts(), 2);
    EXPECT_EQ(pauses, 0) << "a failed row leaves the bar where it stood";
    const Events tail(windows.events.end() - 2, windows.events.end());
    EXPECT_EQ(tail, (Events{"message", "close caption"}));
    EXPECT_TRUE(EncoderProcess.Empty());
}

TEST_F(WorkerBatch, RowCountIsReadAgainBeforeEveryRow) {
    AddRows(1);
    windows.onEvent = [&](const std::string& e) {
        if (e == "status 0 " + S("完成")) windows.AddRow("D:\\v\\late.avi", "E:\\PSP\\M4V30009.MP4");
    };
    auto worker = NewWorker();
    RunBatch(*worker);
    EXPECT_EQ(windows.Statuses(), (Events{S("完成"), S("完成")}));
    EXPECT_EQ(launcher.Starts(), 2);
}

TEST_F(WorkerBatch, FreeingARunningWorkerKeepsServingItsHandOffs) {
    // The UI thread frees the worker while it is mid-batch: the wait must
    // carry out the worker's hand-offs, or both threads would wait forever.
    AddRows(2);
    auto worker = NewWorker();
    worker->Resume();
    worker.reset();
    EXPECT_EQ(windows.Statuses(), (Events{S("完成"), S("完成")}));
    EXPECT_EQ(windows.events.back(), "close caption");
}

TEST_F(WorkerBatch, AFailingWindowCallEndsTheWorkerCleanly) {
    AddRows(3);
    windows.onEvent = [&](const std::string& e) {
        if (e == "status 1 " + S("正在处理")) throw std::runtime_error("list view gone");
    };
    auto worker = NewWorker();
    RunBatch(*worker);
    EXPECT_TRUE(worker->Finished());
    EXPECT_EQ(launcher.Starts(), 1);
    EXPECT_EQ(windows.events.back(), "timer off") << "the timer must not keep ticking";
    EXPECT_EQ(windows.Count("message"), 0);
    EXPECT_TRUE(EncoderProcess.Empty());
}

TEST_F(WorkerBatch, AWorkerWhoseUiThreadIsGoneRunsOut) {
    AddRows(2);
    uiThread.Close();
    auto worker = NewWorker();
    RunBatch(*worker);
    EXPECT_TRUE(worker->Finished());
    EXPECT_TRUE(windows.events.empty());
    EXPECT_EQ(launcher.Starts(), 0);
}

TEST_F(WorkerBatch, AWorkerThatNeverStartedIsFreedAtOnce) {
    AddRows(1);
    auto worker = NewWorker();
    worker->WaitFor();
    worker.reset();
    EXPECT_TRUE(windows.events.empty());
    EXPECT_EQ(launcher.Starts(), 0);
}

}  // namespace
