// Whole batches with the real encoder processes, files and progress records.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>

#include "../test_folder.h"
#include "batch_worker.h"
#include "codepage.h"
#include "win32/system_services.h"
#include "win32_test_support.h"

namespace {

using Texts = std::vector<std::string>;

class Win32Worker : public ::testing::Test {
protected:
    void SetUp() override {
        setup.encoderPath = TestEncoderPath();
        services = SystemWorkerServices();
        // FinishProgress's real 4 s per row would only slow the suite down.
        services.sleep = [this](int) { ++pauses; };
    }

    void AddRow(const std::string& targetName) {
        ConversionJob job;
        job.Source = "D:\\v\\" + targetName + ".avi";
        job.Target = InFolder(folder, targetName);
        setup.rows.push_back(job);
    }

    std::unique_ptr<BatchWorker> NewWorker(int rowsAtOnce = 1) {
        setup.rowsAtOnce = rowsAtOnce;
        auto worker = std::make_unique<BatchWorker>(setup, services, [this] {
            BatchView view = watched.load()->View();
            std::lock_guard<std::mutex> lock(samplesMutex);
            samples.push_back(std::move(view));
        });
        watched = worker.get();
        return worker;
    }

    static Texts Statuses(const BatchView& view) {
        Texts out;
        for (const RowState& row : view.rows) out.push_back(row.status);
        return out;
    }
    static std::string S(const char* utf8) { return SysText(utf8); }

    TestFolder folder;
    BatchSetup setup;
    WorkerServices services;
    std::atomic<int> pauses{0};
    std::atomic<BatchWorker*> watched{nullptr};
    std::mutex samplesMutex;
    std::vector<BatchView> samples;
};

TEST_F(Win32Worker, ABatchWritesEveryTarget) {
    AddRow("M4V30000.MP4");
    AddRow(SysText("M4V30001 视频.MP4"));
    EncoderBehaviour behaviour("write=1");
    auto worker = NewWorker();
    worker->Resume();
    worker->WaitFor();

    const BatchView end = worker->View();
    EXPECT_EQ(Statuses(end), (Texts{S("完成"), S("完成")}));
    for (const ConversionJob& row : setup.rows) {
        EXPECT_EQ(ReadWholeFile(row.Target), "half and whole") << row.Target;
        EXPECT_FALSE(FileExists(row.Target + ".part"));
    }
    EXPECT_EQ(pauses, 800);
    EXPECT_TRUE(end.finished);
    EXPECT_EQ(end.finishedMessage, S("已完成"));
}

TEST_F(Win32Worker, ACancelWithTwoRunningLeavesNoPartialFileAndKeepsTheOldTarget) {
    AddRow("M4V30000.MP4");
    AddRow("M4V30001.MP4");
    AddRow("M4V30002.MP4");
    folder.WriteFile("M4V30001.MP4", "old");
    NamedEvent hold("hold");
    EncoderBehaviour behaviour("write=1;hold=" + hold.Name());
    auto worker = NewWorker(2);
    worker->Resume();
    const ULONGLONG deadline = GetTickCount64() + 60000;
    while (!(FileExists(setup.rows[0].Target + ".part") && FileExists(setup.rows[1].Target + ".part")) &&
           GetTickCount64() < deadline)
        Sleep(20);
    ASSERT_TRUE(FileExists(setup.rows[1].Target + ".part")) << "the two encoders never ran side by side";
    worker->Cancel();
    worker->WaitFor();

    const BatchView end = worker->View();
    EXPECT_EQ(Statuses(end), (Texts{S("放弃"), S("放弃"), ""}));
    EXPECT_FALSE(FileExists(setup.rows[0].Target));
    EXPECT_EQ(ReadWholeFile(setup.rows[1].Target), "old");
    for (const ConversionJob& row : setup.rows) EXPECT_FALSE(FileExists(row.Target + ".part")) << row.Target;
    EXPECT_FALSE(FileExists(setup.rows[2].Target));
    EXPECT_FALSE(end.finished);
}

TEST_F(Win32Worker, ProgressAndAFailureReasonComeThroughTheRealRecord) {
    AddRow("M4V30000.MP4");
    AddRow("M4V30001.MP4");
    AddRow("M4V30002.MP4");
    EncoderBehaviour reporting("write=1;publish=10000;steps=0,2500,5000,7500,10000;pace=300", "M4V30000.MP4");
    // Row 1 fails at once, before any poll could have found its record: it
    // lingers for a reader. Row 2 publishes nothing, as an older encoder.
    EncoderBehaviour failing("publish=10000;reason=6;message=E:\\PSP is missing;exit=1", "M4V30001.MP4");
    EncoderBehaviour silent("write=1", "M4V30002.MP4");
    auto worker = NewWorker();
    worker->Resume();
    worker->WaitFor();

    // What the window showed while row 0's encoder ran.
    std::vector<int> bars;
    Texts lines;
    for (const BatchView& view : samples)
        if (view.selectedRow == 0 && !view.statusLine.empty()) {
            bars.push_back(view.bar);
            lines.push_back(view.statusLine);
        }
    ASSERT_FALSE(bars.empty()) << "no report was read from the record";
    EXPECT_TRUE(std::is_sorted(bars.begin(), bars.end()));
    EXPECT_TRUE(std::any_of(bars.begin(), bars.end(), [](int p) { return p > 0 && p < 2000; }))
        << "the bar never stood between its ends while the encoder ran";
    EXPECT_EQ(bars.back(), 2000) << "the bar was full when the encoder exited";
    EXPECT_EQ(lines.back().rfind(S("100% · 第 1/3 个"), 0), 0u) << SystemToUtf8(lines.back());

    const BatchView end = worker->View();
    EXPECT_EQ(Statuses(end), (Texts{S("完成"), S("失败"), S("完成")}));
    // Chinese only in the tip; "E:\\PSP is missing" goes to the row's log.
    EXPECT_EQ(end.rows[1].reason, S("输出文件夹不存在"));
    EXPECT_EQ(end.finishedMessage, S("已完成\n1 个文件转换失败"));
    // The climb for the silent row only: the failed row leaves the bar
    // where its encoder left it, the reporting one ended full.
    EXPECT_EQ(pauses, 400);
}

TEST_F(Win32Worker, AMissingEncoderFailsEveryRowAndTheBatchStillEnds) {
    setup.encoderPath = folder.Path("trancor.exe");
    AddRow("M4V30000.MP4");
    AddRow("M4V30001.MP4");
    auto worker = NewWorker();
    worker->Resume();
    worker.reset();  // freeing waits
    ASSERT_FALSE(samples.empty());
    const BatchView& end = samples.back();
    EXPECT_EQ(Statuses(end), (Texts{S("失败"), S("失败")}));
    EXPECT_EQ(end.rows[0].reason, S("无法启动编码器"));
    EXPECT_TRUE(end.finished);
}

}  // namespace
