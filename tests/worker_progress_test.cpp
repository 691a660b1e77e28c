// What the worker makes of the encoder's reports: the bar, the status line,
// the reason of a failed row, the end message, the taskbar and the
// keep-awake hold; and the copy of the settings each batch works with.
#include <algorithm>
#include <stdexcept>

#include "failure_text.h"
#include "progress_text.h"
#include "worker_fixture.h"

namespace {

using Events = std::vector<std::string>;
using trancor::FailureReason;
using trancor::RunState;

constexpr int64_t kSecond = 1000000;  // microseconds

class WorkerProgress : public WorkerFixture {
protected:
    std::vector<int> ReportedPositions() const {
        std::vector<int> positions;
        for (const std::string& e : windows.events)
            if (e.rfind("progress ", 0) == 0) positions.push_back(std::stoi(e.substr(9)));
        return positions;
    }
    // The events that are not the bar's or a row's, in order.
    Events IndicatorEvents() const {
        Events out;
        for (const std::string& e : windows.events)
            if (e == "awake" || e == "asleep" || e.rfind("taskbar", 0) == 0 || e == "message") out.push_back(e);
        return out;
    }
    int IndexOf(const std::string& event) const {
        auto it = std::find(windows.events.begin(), windows.events.end(), event);
        return it == windows.events.end() ? -1 : static_cast<int>(it - windows.events.begin());
    }
};

TEST_F(WorkerProgress, TheBarFollowsTheReportsNeverGoesBackAndLeavesFinishProgressNothingToDo) {
    AddRows(2);
    FakeRunPlan plan;
    // One read per second.
    plan.msPerRead = 1000;
    plan.reports = {Report(0, 10 * kSecond), Report(3 * kSecond, 10 * kSecond),
                    Report(6 * kSecond, 10 * kSecond),
                    // A corrected, longer duration would move the bar back.
                    Report(6500000, 16 * kSecond), Report(12 * kSecond, 16 * kSecond),
                    Report(16 * kSecond, 16 * kSecond, RunState::Succeeded)};
    launcher.plans = {plan};  // the second row publishes nothing
    std::vector<int> barAtTimerStop;
    windows.onEvent = [&](const std::string& e) {
        if (e == "timer off") barAtTimerStop.push_back(windows.bar);
    };
    auto worker = NewWorker();
    RunBatch(*worker);

    EXPECT_EQ(ReportedPositions(), (std::vector<int>{0, 600, 1200, 1200, 1500, 2000}));
    EXPECT_EQ(windows.statusLines,
              (Events{S("0% · 第 1/2 个"),
                      // From the second second on, the time left at the average speed.
                      S("30% · 第 1/2 个 · 剩余约 5 秒"), S("60% · 第 1/2 个 · 剩余约 2 秒"), S("40% · 第 1/2 个 · 剩余约 6 秒"),
                      S("75% · 第 1/2 个 · 剩余约 2 秒"), S("100% · 第 1/2 个 · 剩余约 0 秒")}));
    // The reported row's bar stood full when its encoder ended: FinishProgress
    // made no step there, and the 400 of the second, silent row only.
    ASSERT_EQ(barAtTimerStop.size(), 2u);
    EXPECT_EQ(barAtTimerStop[0], 2000);
    EXPECT_EQ(pauses, 400);
    EXPECT_EQ(windows.Statuses(), (Events{S("完成"), S("完成")}));
    EXPECT_FALSE(windows.offThread);
    // The wait polls the process, it does not spin.
    EXPECT_LE(launcher.Polls(), 12);
}

TEST(ProgressText, BarPositionAndStatusLine) {
    EXPECT_EQ(BarPositionFor(0, 10), 0);
    EXPECT_EQ(BarPositionFor(5, 10), 1000);
    EXPECT_EQ(BarPositionFor(10, 10), 2000);
    EXPECT_EQ(BarPositionFor(11, 10), 2000);
    EXPECT_EQ(BarPositionFor(-3, 10), 0);
    EXPECT_EQ(BarPositionFor(5, -1), -1);
    EXPECT_EQ(BarPositionFor(5, 0), -1);
    // Nine hours of microseconds: no overflow on the way.
    EXPECT_EQ(BarPositionFor(16200LL * kSecond, 32400LL * kSecond), 1000);

    const struct {
        RowProgress progress;
        const char* text;
    } cases[] = {
        {{0, 100 * kSecond, 0, 1, 5}, "0% · 第 2/5 个"},
        {{42 * kSecond, 100 * kSecond, 1999, 1, 5}, "42% · 第 2/5 个"},  // too early to estimate
        {{42 * kSecond, 100 * kSecond, 4200, 1, 5}, "42% · 第 2/5 个 · 剩余约 6 秒"},
        {{20 * kSecond, 100 * kSecond, 20000, 0, 1}, "20% · 第 1/1 个 · 剩余约 1 分 20 秒"},
        {{600 * kSecond, 7200 * kSecond, 600000, 2, 3}, "8% · 第 3/3 个 · 剩余约 1 小时 50 分"},
        {{0, 100 * kSecond, 9000, 0, 1}, "0% · 第 1/1 个"},  // nothing done: no speed yet
        {{101 * kSecond, 100 * kSecond, 9000, 0, 1}, "100% · 第 1/1 个 · 剩余约 0 秒"},
        {{80 * kSecond, -1, 9000, 0, 3}, "第 1/3 个 · 已转换 1 分 20 秒"},  // length unknown
    };
    for (const auto& c : cases) EXPECT_EQ(StatusLineText(c.progress), SysText(c.text)) << c.text;
}

TEST_F(WorkerProgress, EveryFailedRowKeepsItsReasonAndTheEndMessageCountsThem) {
    AddRows(5);
    FakeRunPlan published(false, 1);
    published.reports = {Report(kSecond, 10 * kSecond),
                         Report(kSecond, 10 * kSecond, RunState::Failed, FailureReason::OutputFolderMissing,
                                "E:\\PSP: 目录不存在")};
    FakeRunPlan newer(false, 1);
    newer.reports = {Report(0, -1, RunState::Failed, static_cast<FailureReason>(99), "")};
    launcher.plans = {published, FakeRunPlan(false, 3), FakeRunPlan(true), FakeRunPlan(), newer};
    auto worker = NewWorker();
    RunBatch(*worker);

    EXPECT_EQ(windows.Statuses(), (Events{S("失败"), S("失败"), S("失败"), S("完成"), S("失败")}));
    std::vector<std::string> reasons;
    for (const ConversionJob& row : windows.rows) reasons.push_back(row.Reason);
    EXPECT_EQ(reasons, (Events{S("输出文件夹不存在"), S("编码器退出代码 3"), S("无法启动编码器"), "",
                               S("转换失败")}));
    // The reason is there before the row reads "失败", so the tip never lacks it.
    EXPECT_EQ(IndexOf("reason 1 " + S("编码器退出代码 3")) + 1, IndexOf("status 1 " + S("失败")));
    EXPECT_EQ(windows.finishedMessage, S("已完成\n4 个文件转换失败"));
    EXPECT_EQ(FinishedMessageText(1), S("已完成\n1 个文件转换失败"));
    EXPECT_EQ(FinishedMessageText(0), S("已完成"));
}

TEST_F(WorkerProgress, WithoutAnEncoderEveryRowSaysWhereItWasLookedFor) {
    AddRows(2);
    EncoderNotFoundAt = {"C:\\sys\\trancor.exe", SysText("D:\\视频 工具\\trancor.exe")};
    launcher.plans = {FakeRunPlan(true), FakeRunPlan(true)};
    auto worker = NewWorker();
    EncoderNotFoundAt.clear();  // the batch goes by what it was started with
    RunBatch(*worker);

    const std::string reason = S("找不到编码器 trancor.exe，已查找：C:\\sys\\trancor.exe；D:\\视频 工具\\trancor.exe");
    ASSERT_EQ(windows.rows.size(), 2u);
    for (const ConversionJob& row : windows.rows) EXPECT_EQ(row.Reason, reason);
    EXPECT_EQ(windows.Statuses(), (Events{S("失败"), S("失败")}));
    EXPECT_EQ(windows.finishedMessage, S("已完成\n2 个文件转换失败"));
}

TEST(FailureText, EveryReasonTheEncoderGivesHasItsOwnChineseText) {
    // The tip shows Chinese only: no Latin letter may come through.
    auto hasLatin = [](const std::string& text) {
        const std::string utf8 = SystemToUtf8(text);
        return std::any_of(utf8.begin(), utf8.end(), [](char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; });
    };
    const std::string unknown = EncoderReasonText(static_cast<FailureReason>(99));
    std::vector<std::string> texts;
    for (uint32_t code = 1; code <= static_cast<uint32_t>(FailureReason::Internal); ++code) {
        const std::string text = EncoderReasonText(static_cast<FailureReason>(code));
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_FALSE(hasLatin(text)) << code;
        EXPECT_NE(text, unknown) << code << " falls back to the text for codes of a newer encoder";
        texts.push_back(text);
    }
    std::sort(texts.begin(), texts.end());
    EXPECT_EQ(std::unique(texts.begin(), texts.end()), texts.end()) << "two codes read the same";
    EXPECT_EQ(EncoderReasonText(FailureReason::DiskFull), SysText("目标磁盘已满"));
    EXPECT_EQ(unknown, SysText("转换失败"));
    for (const std::string& own : {StartFailedReasonText(), ExitCodeReasonText(3221225477u), unknown})
        EXPECT_FALSE(hasLatin(own)) << SystemToUtf8(own);
}

TEST_F(WorkerProgress, TaskbarAndKeepAwakeFollowTheBatchInOrder) {
    recordIndicators = true;
    AddRows(2);
    FakeRunPlan half;
    half.reports = {Report(5 * kSecond, 10 * kSecond), Report(10 * kSecond, 10 * kSecond, RunState::Succeeded)};
    launcher.plans = {half};
    auto worker = NewWorker();
    RunBatch(*worker);
    EXPECT_EQ(IndicatorEvents(), (Events{"awake", "taskbar 0/4000", "taskbar 1000/4000", "taskbar 2000/4000",
                                         "taskbar 4000/4000", "taskbar clear", "asleep", "message"}));
}

TEST_F(WorkerProgress, ACancelClearsTheTaskbarAndReleasesTheHoldBeforeTheRowEnds) {
    recordIndicators = true;
    AddRows(3);
    launcher.plans = {FakeRunPlan(), FakeRunPlan(false, 0, true)};
    auto worker = NewWorker();
    worker->Resume();
    uiThread.PumpUntil([&] { return launcher.Starts() == 2; });
    StopEncoder(worker.get());
    worker->WaitFor();

    EXPECT_EQ(IndicatorEvents(), (Events{"awake", "taskbar 0/6000", "taskbar 2000/6000", "taskbar clear", "asleep"}));
    // At once, not after the killed row's run of the bar.
    EXPECT_LT(IndexOf("asleep"), IndexOf("status 1 " + S("完成")));
    EXPECT_EQ(windows.Statuses(), (Events{S("完成"), S("放弃"), ""}));
}

TEST_F(WorkerProgress, AWorkerWhoseWindowFailsStillReleasesTheHold) {
    recordIndicators = true;
    AddRows(2);
    windows.onEvent = [&](const std::string& e) {
        if (e == "status 0 " + S("正在处理")) throw std::runtime_error("list view gone");
    };
    auto worker = NewWorker();
    RunBatch(*worker);
    EXPECT_EQ(IndicatorEvents(), (Events{"awake", "taskbar clear", "asleep"}));
}

TEST_F(WorkerProgress, EachBatchWorksWithTheSettingsOfItsStart) {
    AddRows(2);
    const ConversionSettings atStart = Settings;
    const std::string encoderAtStart = EncoderPath;
    // The settings dialog is usable again while a cancelled worker finishes.
    windows.onEvent = [&](const std::string& e) {
        if (e == "select 0") {
            Settings.VideoQuality = 999;
            Settings.Resolution = 2;
            EncoderPath = "C:\\other\\trancor.exe";
        }
    };
    auto worker = NewWorker();
    RunBatch(*worker);
    ASSERT_EQ(launcher.CommandLines().size(), 2u);
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(launcher.CommandLines()[i], BuildEncoderCommand(windows.rows[i], atStart, encoderAtStart));
}

}  // namespace
