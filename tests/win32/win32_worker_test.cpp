// Whole batches with the real encoder processes, files and the UI-thread
// hand-off: the test thread is the UI thread and pumps messages while it
// waits.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>

#include "../test_folder.h"
#include "codepage.h"
#include "marshalled_worker_ui.h"
#include "process_state.h"
#include "batch_worker.h"
#include "win32/system_services.h"
#include "win32/ui_dispatcher.h"
#include "win32_test_support.h"
#include "../worker_fakes.h"

namespace {

using Texts = std::vector<std::string>;

class Win32Worker : public ::testing::Test {
protected:
    void SetUp() override {
        EncoderPath = TestEncoderPath();
        services = SystemWorkerServices();
        // FinishProgress's real 4 s per row would only slow the suite down.
        services.sleep = [this](int) { ++pauses; };
    }

    void AddRow(const std::string& targetName) {
        windows.AddRow("D:\\v\\" + targetName + ".avi", InFolder(folder, targetName));
    }

    std::unique_ptr<BatchWorker> NewWorker() {
        return std::make_unique<BatchWorker>(workerUi, services, dispatcher.NewEndSignal());
    }

    static std::string S(const char* utf8) { return SysText(utf8); }

    TestFolder folder;
    UiDispatcher dispatcher;
    RecordingUi windows{std::this_thread::get_id()};
    MarshalledWorkerUi workerUi{windows, dispatcher};
    WorkerServices services;
    std::atomic<int> pauses{0};
};

TEST_F(Win32Worker, ABatchWritesEveryTargetAndReportsOnTheUiThread) {
    AddRow("M4V30000.MP4");
    AddRow(SysText("M4V30001 视频.MP4"));
    EncoderBehaviour behaviour("write=1");
    auto worker = NewWorker();
    worker->Resume();
    worker->WaitFor();

    EXPECT_EQ(windows.Statuses(), (Texts{S("完成"), S("完成")}));
    for (const ConversionJob& row : windows.rows) {
        EXPECT_EQ(ReadWholeFile(row.Target), "half and whole") << row.Target;
        EXPECT_FALSE(FileExists(row.Target + ".part"));
    }
    EXPECT_EQ(pauses, 800);
    const Texts tail(windows.events.end() - 2, windows.events.end());
    EXPECT_EQ(tail, (Texts{"message", "close caption"}));
    EXPECT_FALSE(windows.offThread) << "a window was touched off the UI thread";
    EXPECT_TRUE(EncoderProcess.Empty());
}

TEST_F(Win32Worker, ACancelledRunLeavesNoPartialFileAndKeepsTheOldTarget) {
    AddRow("M4V30000.MP4");
    AddRow("M4V30001.MP4");
    AddRow("M4V30002.MP4");
    folder.WriteFile("M4V30001.MP4", "old");
    NamedEvent ready("ready"), hold("hold");
    auto worker = NewWorker();
    {
        EncoderBehaviour behaviour("write=1");
        worker->Resume();
        // The UI thread keeps serving hand-offs until row 1's encoder is busy.
        windows.onEvent = [&](const std::string& e) {
            if (e == "status 1 " + S("正在处理"))
                SetEnvironmentVariableA("VQ_TEST_ENCODER",
                                        ("write=1;ready=" + ready.Name() + ";hold=" + hold.Name()).c_str());
        };
        ASSERT_TRUE(PumpUntilSet(ready.Get())) << "row 1's encoder never started";
        StopEncoder(worker.get());
        worker->WaitFor();
    }

    EXPECT_EQ(windows.Statuses(), (Texts{S("完成"), S("放弃"), ""}));
    EXPECT_EQ(ReadWholeFile(windows.rows[0].Target), "half and whole");
    EXPECT_EQ(ReadWholeFile(windows.rows[1].Target), "old");
    EXPECT_FALSE(FileExists(windows.rows[1].Target + ".part"));
    EXPECT_FALSE(FileExists(windows.rows[2].Target));
    EXPECT_EQ(windows.Count("message"), 0);
}

TEST_F(Win32Worker, ProgressAndAFailureReasonComeThroughTheRealRecord) {
    AddRow("M4V30000.MP4");
    AddRow("M4V30001.MP4");
    AddRow("M4V30002.MP4");
    EncoderBehaviour behaviour("write=1;publish=10000;steps=0,2500,5000,7500,10000;pace=300");
    // Row 1 fails at once, before any poll could have found its record: it
    // lingers for a reader. Row 2 publishes nothing, as an older encoder.
    windows.onEvent = [&](const std::string& e) {
        if (e == "status 1 " + S("正在处理"))
            SetEnvironmentVariableA("VQ_TEST_ENCODER", "publish=10000;reason=6;message=E:\\PSP is missing;exit=1");
        if (e == "status 2 " + S("正在处理")) SetEnvironmentVariableA("VQ_TEST_ENCODER", "write=1");
    };
    std::vector<int> barAtTimerStop;
    auto record = windows.onEvent;
    windows.onEvent = [&, record](const std::string& e) {
        record(e);
        if (e == "timer off") barAtTimerStop.push_back(windows.bar);
    };
    auto worker = NewWorker();
    worker->Resume();
    worker->WaitFor();

    // Row 0's reports: up to its timer's stop.
    std::vector<int> positions;
    std::vector<std::string> lines;
    size_t line = 0;
    for (const std::string& e : windows.events) {
        if (e == "timer off") break;
        if (e.rfind("progress ", 0) != 0) continue;
        positions.push_back(std::stoi(e.substr(9)));
        lines.push_back(windows.statusLines.at(line++));
    }
    ASSERT_FALSE(positions.empty()) << "no report was read from the record";
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_TRUE(std::any_of(positions.begin(), positions.end(), [](int p) { return p > 0 && p < 2000; }))
        << "the bar never stood between its ends while the encoder ran";
    EXPECT_EQ(positions.back(), 2000);
    ASSERT_EQ(barAtTimerStop.size(), 3u);
    EXPECT_EQ(barAtTimerStop[0], 2000) << "the bar was full when the encoder exited";
    EXPECT_EQ(lines.back().rfind(S("100% · 第 1/3 个"), 0), 0u) << SystemToUtf8(lines.back());

    EXPECT_EQ(windows.Statuses(), (Texts{S("完成"), S("失败"), S("完成")}));
    EXPECT_EQ(windows.rows[1].Reason, S("输出文件夹不存在：E:\\PSP is missing"));
    EXPECT_EQ(windows.finishedMessage, S("已完成\n1 个文件转换失败"));
    // FinishProgress's 400 steps for the silent row only: the failed row
    // leaves the bar where its encoder left it.
    EXPECT_EQ(pauses, 400);
}

TEST_F(Win32Worker, AMissingEncoderFailsEveryRowAndTheBatchStillEnds) {
    EncoderPath = folder.Path("trancor.exe");
    AddRow("M4V30000.MP4");
    AddRow("M4V30001.MP4");
    auto worker = NewWorker();
    worker->Resume();
    worker.reset();  // freeing waits, serving the hand-offs meanwhile
    EXPECT_EQ(windows.Statuses(), (Texts{S("失败"), S("失败")}));
    EXPECT_EQ(windows.rows[0].Reason, S("无法启动编码器"));
    EXPECT_EQ(windows.events.back(), "close caption");
}

}  // namespace
