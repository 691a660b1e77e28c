// Whole batches with the real encoder processes, files and the UI-thread
// hand-off: the test thread is the UI thread and pumps messages while it
// waits.
#include <gtest/gtest.h>

#include <atomic>

#include "../test_folder.h"
#include "codepage.h"
#include "marshalled_worker_ui.h"
#include "process_state.h"
#include "test_thread.h"
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

    std::unique_ptr<TestThread> NewWorker() {
        return std::make_unique<TestThread>(workerUi, services, dispatcher.NewEndSignal());
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

TEST_F(Win32Worker, AMissingEncoderFailsEveryRowAndTheBatchStillEnds) {
    EncoderPath = folder.Path("trancor.exe");
    AddRow("M4V30000.MP4");
    AddRow("M4V30001.MP4");
    auto worker = NewWorker();
    worker->Resume();
    worker.reset();  // freeing waits, serving the hand-offs meanwhile
    EXPECT_EQ(windows.Statuses(), (Texts{S("失败"), S("失败")}));
    EXPECT_EQ(windows.events.back(), "close caption");
}

}  // namespace
