// What the worker makes of the encoder's reports: the bar, the status line,
// the reason of a failed row and the end message; side by side, the batch's
// share and each row's; and a pause.
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

class WorkerProgress : public WorkerFixture {};

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
    auto worker = NewWorker();
    RunBatch(*worker);

    // What the window showed while row 0's encoder ran, each change once.
    std::vector<int> bars;
    Events lines;
    for (const BatchView& view : Samples()) {
        if (view.selectedRow != 0 || view.statusLine.empty()) continue;
        if (bars.empty() || bars.back() != view.bar) bars.push_back(view.bar);
        if (lines.empty() || lines.back() != view.statusLine) lines.push_back(view.statusLine);
    }
    EXPECT_EQ(bars, (std::vector<int>{0, 600, 1200, 1500, 2000}));
    EXPECT_EQ(lines,
              (Events{S("0% · 第 1/2 个"),
                      // From the second second on, the time left at the average speed.
                      S("30% · 第 1/2 个 · 剩余约 5 秒"), S("60% · 第 1/2 个 · 剩余约 2 秒"), S("40% · 第 1/2 个 · 剩余约 6 秒"),
                      S("75% · 第 1/2 个 · 剩余约 2 秒"), S("100% · 第 1/2 个 · 剩余约 0 秒")}));
    // The reported row's bar stood full when its encoder ended: no climb
    // there, the 400 steps of the second, silent row only.
    EXPECT_EQ(pauses, 400);
    EXPECT_EQ(Statuses(worker->View()), (Events{S("完成"), S("完成")}));
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

    const BatchView end = worker->View();
    EXPECT_EQ(Statuses(end), (Events{S("失败"), S("失败"), S("失败"), S("完成"), S("失败")}));
    std::vector<std::string> reasons;
    for (const RowState& row : end.rows) reasons.push_back(row.reason);
    EXPECT_EQ(reasons, (Events{S("输出文件夹不存在"), S("编码器退出代码 3"), S("无法启动编码器"), "",
                               S("转换失败")}));
    // The reason is published with "失败", so the tip never lacks it.
    for (const BatchView& view : Samples())
        for (const RowState& row : view.rows) EXPECT_TRUE(row.status != S("失败") || !row.reason.empty());
    EXPECT_EQ(end.finishedMessage, S("已完成\n4 个文件转换失败"));
    EXPECT_EQ(FinishedMessageText(1), S("已完成\n1 个文件转换失败"));
    EXPECT_EQ(FinishedMessageText(0), S("已完成"));
}

TEST_F(WorkerProgress, WithoutAnEncoderEveryRowSaysWhereItWasLookedFor) {
    AddRows(2);
    setup.encoderNotFoundAt = {"C:\\sys\\trancor.exe", SysText("D:\\视频 工具\\trancor.exe")};
    launcher.plans = {FakeRunPlan(true), FakeRunPlan(true)};
    auto worker = NewWorker();
    RunBatch(*worker);

    const std::string reason = S("找不到编码器 trancor.exe，已查找：C:\\sys\\trancor.exe；D:\\视频 工具\\trancor.exe");
    const BatchView end = worker->View();
    ASSERT_EQ(end.rows.size(), 2u);
    for (const RowState& row : end.rows) EXPECT_EQ(row.reason, reason);
    EXPECT_EQ(Statuses(end), (Events{S("失败"), S("失败")}));
    EXPECT_EQ(end.finishedMessage, S("已完成\n2 个文件转换失败"));
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

TEST_F(WorkerProgress, SideBySideTheBatchShowsItsShareEachRowItsOwnAndAPauseFreezesTheEstimate) {
    AddRows(3);
    FakeRunPlan tenSeconds(false, 0, true), thirtySeconds(false, 0, true);
    tenSeconds.reports = {Report(5 * kSecond, 10 * kSecond)};
    thirtySeconds.reports = {Report(3 * kSecond, 30 * kSecond)};
    launcher.plans = {tenSeconds, thirtySeconds, FakeRunPlan(false, 0, true)};
    auto worker = NewWorker(2);
    worker->Resume();
    ASSERT_TRUE(ViewBecomes(*worker, [&](const BatchView& v) {
        return Statuses(v) == Events{S("正在处理 50%"), S("正在处理 10%"), ""};
    }));
    launcher.AdvanceClock(10000);
    // 5 s + 3 s of 10 + 30 + 20 (the waiting row weighs as the average): 13%.
    const std::string running = S("13% · 同时转换 2 个 · 剩余约 1 分 5 秒");
    ASSERT_TRUE(ViewBecomes(*worker, [&](const BatchView& v) { return v.statusLine == running; }))
        << SystemToUtf8(worker->View().statusLine);
    EXPECT_EQ(worker->View().bar, 266);

    worker->Pause();
    EXPECT_EQ(launcher.Suspended(), 2);
    EXPECT_TRUE(worker->View().paused);
    EXPECT_EQ(worker->View().statusLine, S("已暂停"));
    ASSERT_TRUE(launcher.WaitUntil([&] { return keepAwake.Events().size() == 2; }));
    EXPECT_EQ(keepAwake.Events(), (Events{"hold", "release"})) << "the system may sleep while paused";
    // Ten paused minutes count for nothing: the estimate stands where it stood.
    launcher.AdvanceClock(600000);
    worker->Continue();
    EXPECT_EQ(launcher.Suspended(), 0);
    EXPECT_EQ(worker->View().statusLine, running);
    ASSERT_TRUE(launcher.WaitUntil([&] { return keepAwake.Events().size() == 3; }));

    // A held encoder does not end, and no row starts, however long the pause.
    worker->Pause();
    launcher.Finish(0);
    ASSERT_TRUE(launcher.WaitUntil([&] { return keepAwake.Events().size() == 4; }));
    std::this_thread::sleep_for(std::chrono::milliseconds(3 * BatchWorker::kPollMilliseconds));
    EXPECT_EQ(launcher.Starts(), 2);
    EXPECT_EQ(Statuses(worker->View())[0], S("正在处理 50%"));
    worker->Continue();
    ASSERT_TRUE(launcher.WaitUntil([&] { return launcher.Starts() == 3; }));
    EXPECT_EQ(Statuses(worker->View())[0], S("完成"));
    launcher.Finish(1);
    launcher.Finish(2);
    worker->WaitFor();
    EXPECT_EQ(Statuses(worker->View()), (Events{S("完成"), S("完成"), S("完成")}));
    EXPECT_FALSE(worker->View().paused);
    EXPECT_EQ(keepAwake.Events(), (Events{"hold", "release", "hold", "release", "hold", "release"}));
}

TEST(ProgressText, SideBySideTexts) {
    EXPECT_EQ(RunningStatusText(740), SysText("正在处理 37%"));
    EXPECT_EQ(RunningStatusText(-1), SysText("正在处理"));
    EXPECT_EQ(BatchStatusLineText(1000, 3, 1999), SysText("50% · 同时转换 3 个"));
    EXPECT_EQ(BatchStatusLineText(1000, 3, 60000), SysText("50% · 同时转换 3 个 · 剩余约 1 分 0 秒"));
}

}  // namespace
