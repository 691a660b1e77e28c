#include <algorithm>

#include "worker_fixture.h"

namespace {

using Events = std::vector<std::string>;

class WorkerCancel : public WorkerFixture {
protected:
    bool Happened(const std::string& event) const {
        return std::find(windows.events.begin(), windows.events.end(), event) != windows.events.end();
    }
    // Position of `event` in the record; -1 when absent.
    int IndexOf(const std::string& event) const {
        auto it = std::find(windows.events.begin(), windows.events.end(), event);
        return it == windows.events.end() ? -1 : static_cast<int>(it - windows.events.begin());
    }
};

TEST_F(WorkerCancel, DuringTheSecondOfThreeRowsKillsItsEncoderAndStops) {
    AddRows(3);
    launcher.plans = {{}, {false, 0, true}};
    auto worker = NewWorker();
    worker->Resume();
    uiThread.PumpUntil([&] { return launcher.Starts() == 2; });
    StopEncoder(worker.get());
    worker->WaitFor();

    EXPECT_EQ(windows.Statuses(), (Events{S("完成"), S("放弃"), ""}));
    EXPECT_EQ(launcher.Terminations(), 1);
    EXPECT_EQ(launcher.Starts(), 2);
    // The killed row still runs the bar to its end, then "完成" and "放弃".
    EXPECT_LT(IndexOf("status 1 " + S("完成")), IndexOf("status 1 " + S("放弃")));
    EXPECT_EQ(windows.Count("redraw"), 2);
    EXPECT_FALSE(Happened("message"));
    EXPECT_FALSE(Happened("close caption"));
    // What the killed encoder left half-written is removed; the target is not.
    EXPECT_EQ(files.removals, (Events{"E:\\PSP\\M4V30001.MP4.part", "E:\\PSP\\M4V30001.THM.part"}));
    EXPECT_EQ(launcher.LiveRuns(), 0);
    EXPECT_FALSE(windows.offThread);
}

TEST_F(WorkerCancel, BetweenTwoRowsAbandonsTheNextRowWithoutRunningIt) {
    AddRows(3);
    auto worker = NewWorker();
    // The cancel lands after row 0 was checked for it and before row 1's
    // encoder starts: by then the last process has already exited.
    windows.onEvent = [&](const std::string& e) {
        if (e == "select 1") StopEncoder(worker.get());
    };
    RunBatch(*worker);

    EXPECT_EQ(windows.Statuses(), (Events{S("完成"), S("放弃"), ""}));
    EXPECT_EQ(launcher.Starts(), 1) << "row 1's encoder must not overwrite its target";
    EXPECT_EQ(launcher.Terminations(), 0);
    EXPECT_FALSE(Happened("status 1 " + S("完成")));
    EXPECT_EQ(windows.Count("redraw"), 1);
    const Events tail(windows.events.end() - 3, windows.events.end());
    EXPECT_EQ(tail, (Events{"status 1 " + S("正在处理"), "timer off", "status 1 " + S("放弃")}));
    EXPECT_TRUE(files.removals.empty());
}

TEST_F(WorkerCancel, DuringFinishProgressKillsNothingButAbandonsTheRow) {
    AddRows(2);
    auto worker = NewWorker();
    windows.onEvent = [&](const std::string& e) {
        if (e == "bar=5") StopEncoder(worker.get());
    };
    RunBatch(*worker);

    EXPECT_EQ(windows.Statuses(), (Events{S("放弃"), ""}));
    EXPECT_EQ(launcher.Terminations(), 0);
    EXPECT_EQ(launcher.Starts(), 1);
    EXPECT_EQ(windows.bar, 2000) << "the bar still runs to its end";
    EXPECT_LT(IndexOf("status 0 " + S("完成")), IndexOf("status 0 " + S("放弃")));
    EXPECT_FALSE(Happened("message"));
}

TEST_F(WorkerCancel, AfterTheBatchHasEndedChangesNothing) {
    AddRows(2);
    auto worker = NewWorker();
    RunBatch(*worker);
    const size_t recorded = windows.events.size();
    StopEncoder(worker.get());
    StopEncoder(nullptr);  // no worker yet: only the (empty) process slot
    EXPECT_EQ(windows.Statuses(), (Events{S("完成"), S("完成")}));
    EXPECT_EQ(windows.events.size(), recorded);
    EXPECT_EQ(launcher.Terminations(), 0);
}

TEST_F(WorkerCancel, RowsRemovedAfterTheCancelAreNotConverted) {
    AddRows(3);
    auto worker = NewWorker();
    // The main window is usable again after a cancel: the user removes the
    // rows the worker is about to read.
    windows.onEvent = [&](const std::string& e) {
        if (e == "select 1") {
            StopEncoder(worker.get());
            windows.rows.resize(1);
        }
    };
    RunBatch(*worker);

    EXPECT_EQ(windows.Statuses(), (Events{S("完成")}));
    EXPECT_EQ(launcher.Starts(), 1);
    const Events tail(windows.events.end() - 2, windows.events.end());
    EXPECT_EQ(tail, (Events{"read 1", "timer off"}));
}

TEST_F(WorkerCancel, AFreedWorkerThatWasStoppedFinishesOnlyItsRow) {
    // The main window's end: stop flag, then free; the encoder runs on until
    // it exits by itself and the worker still finishes that row.
    AddRows(2);
    auto worker = NewWorker();
    worker->Resume();
    uiThread.PumpUntil([&] { return launcher.Starts() == 1; });
    worker->Terminate();
    worker.reset();
    EXPECT_EQ(windows.Statuses(), (Events{S("放弃"), ""}));
    EXPECT_EQ(launcher.Starts(), 1);
}

}  // namespace
