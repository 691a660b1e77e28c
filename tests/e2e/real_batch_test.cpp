// Three clips of about 90 s converted by the program with the project's own
// encoder (trancor), the progress window watched while each encoder runs: the
// bar must follow the encoder's reports, and a screenshot is taken mid-file.
// Run by real_batch.sh, which makes the clips; the encoder and the clips'
// folder come in through VQ_E2E_TRANCOR and VQ_E2E_CLIPS.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

#include "batch_watch.h"
#include "scenario.h"

namespace {

class RealBatch : public ProgramScenario {
protected:
    // trancor installed for the program, which writes into out_.
    void SetUp() override {
        ProgramScenario::SetUp();
        const std::string trancor = e2e::PathFromEnvironment(L"VQ_E2E_TRANCOR");
        ASSERT_TRUE(e2e::FileExists(trancor)) << "no encoder at '" << trancor << "'";
        e2e::InstallEncoderForProgram(trancor);
        out_ = InFolder("out");
        e2e::MakeEmptyFolder(out_);
        WriteConfig("[Settings]\r\nResolution=0\r\nFramerate=1\r\nChannels=1\r\nVideoQuality=450\r\n"
                    "AudioQuality=48\r\nVolume=100\r\nPspNumber=30000\r\nOutput=" + out_ + "\r\n");
    }

    std::string out_;
};

// Four rows, two at once ("同时转换:" "2 个"), paused while two encoders run
// and resumed: never more than two encoders, each running row showing its
// own share, the paused encoders using no processor time, every file whole.
TEST_F(RealBatch, FourClipsTwoAtOnceWithAPause) {
    const std::string clips = e2e::PathFromEnvironment(L"VQ_E2E_CLIPS");
    WriteConfig("[Settings]\r\nResolution=0\r\nFramerate=1\r\nChannels=1\r\nVideoQuality=450\r\n"
                "AudioQuality=48\r\nVolume=100\r\nPspNumber=30000\r\nSimultaneous=1\r\nOutput=" + out_ + "\r\n");
    StartProgram();
    AddFiles(clips, {"clip1.avi", "clip2.avi", "clip3.avi", "clip1.avi"});
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 4; }));
    e2e::Click(Button(IDC_START));
    HWND output = e2e::WaitForWindow(Pid(), VQ_CLASS_PROGRESS_WINDOW);
    ASSERT_NE(output, nullptr);
    HWND pause = e2e::Control(output, IDC_PROGRESS_PAUSE);
    HWND statusLine = e2e::Control(output, IDC_PROGRESS_STATUS_LINE);
    EXPECT_EQ(e2e::WindowText(pause), "暂停");

    auto sharesShown = [&] {
        const std::vector<std::string> statuses = Column(2);
        int running = 0;
        for (const std::string& status : statuses) running += status.rfind("正在处理 ", 0) == 0 && status.back() == '%';
        return running == 2 && e2e::ProcessCount("trancor.exe", Pid()) == 2;
    };
    ASSERT_TRUE(e2e::WaitUntil(sharesShown, 120000)) << "two rows never ran side by side";
    EXPECT_NE(e2e::WindowText(statusLine).find("同时转换 2 个"), std::string::npos) << e2e::WindowText(statusLine);
    Screenshot("two-running");

    e2e::Click(pause);
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(pause) == "继续"; }));
    EXPECT_EQ(e2e::WindowText(statusLine), "已暂停");
    Sleep(500);  // the time slices under way end
    auto partSizes = [&] {
        std::vector<uint64_t> sizes;
        for (int number : {30000, 30001}) {
            WIN32_FILE_ATTRIBUTE_DATA data{};
            const std::string part = e2e::JoinPath(out_, "M4V" + std::to_string(number) + ".MP4.part");
            GetFileAttributesExA(part.c_str(), GetFileExInfoStandard, &data);
            sizes.push_back((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
        }
        return sizes;
    };
    const uint64_t atPause = e2e::ProcessorTimeOf("trancor.exe", Pid());
    const std::vector<std::string> pausedStatuses = Column(2);
    const std::vector<uint64_t> pausedSizes = partSizes();
    Sleep(2000);
    // For the record only: under Wine another process's times lag behind.
    std::printf("processor time of the paused encoders over 2 s: %.3f s\n",
                static_cast<double>(e2e::ProcessorTimeOf("trancor.exe", Pid()) - atPause) / 1e7);
    EXPECT_EQ(partSizes(), pausedSizes) << "a paused encoder went on writing";
    EXPECT_EQ(Column(2), pausedStatuses) << "a paused row moved on";
    EXPECT_EQ(e2e::ProcessCount("trancor.exe", Pid()), 2);
    Screenshot("paused");

    e2e::Click(pause);
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(pause) == "暂停"; }));
    int mostRunning = 0;
    e2e::MessageBoxInfo box;
    const ULONGLONG deadline = GetTickCount64() + 400000;
    while (!box.window && GetTickCount64() < deadline) {
        mostRunning = std::max(mostRunning, e2e::ProcessCount("trancor.exe", Pid()));
        box = e2e::WaitForMessageBox(Pid(), 0);
        Sleep(100);
    }
    ASSERT_NE(box.window, nullptr) << "no end message";
    EXPECT_EQ(box.text, "已完成");
    EXPECT_LE(mostRunning, 2);
    EXPECT_EQ(Column(2), (std::vector<std::string>{"完成", "完成", "完成", "完成"}));
    ASSERT_TRUE(e2e::PressOk(box));
    for (int number : {30000, 30001, 30002, 30003}) {
        const std::string target = e2e::JoinPath(out_, "M4V" + std::to_string(number) + ".MP4");
        EXPECT_TRUE(e2e::FileExists(target)) << number;
        EXPECT_FALSE(e2e::FileExists(target + ".part")) << number;
    }
}

TEST_F(RealBatch, TheBarRisesWhileEachOfThreeClipsConverts) {
    const std::string clips = e2e::PathFromEnvironment(L"VQ_E2E_CLIPS");
    const std::vector<std::string> names{"clip1.avi", "clip2.avi", "clip3.avi"};
    for (const std::string& name : names) ASSERT_TRUE(e2e::FileExists(e2e::JoinPath(clips, name))) << name;
    StartProgram();
    AddFiles(clips, names);
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 3; }));
    e2e::Click(Button(IDC_START));
    std::vector<bool> shot(3, false);
    const e2e::BatchWatch watch = e2e::WatchBatch(Pid(), List(), 3, "trancor.exe", [&](int row, int bar) {
        // Mid-file: past half of the bar while the encoder still runs.
        if (!shot[static_cast<size_t>(row)] && bar >= 1000) {
            shot[static_cast<size_t>(row)] = true;
            Screenshot("file" + std::to_string(row + 1));
        }
    }, 300000);
    ASSERT_NE(watch.endMessage.window, nullptr) << "no end message";
    EXPECT_EQ(watch.endMessage.text, "已完成");
    EXPECT_EQ(Column(2), (std::vector<std::string>{"完成", "完成", "完成"}));
    for (int row = 0; row < 3; ++row)
        EXPECT_GE(watch.highestBar[static_cast<size_t>(row)], 1000)
            << "file " << row + 1 << ": the bar stood at " << watch.highestBar[static_cast<size_t>(row)]
            << " at most while its encoder ran";
    ASSERT_TRUE(e2e::PressOk(watch.endMessage));
    for (int number : {30000, 30001, 30002})
        EXPECT_TRUE(e2e::FileExists(e2e::JoinPath(out_, "M4V" + std::to_string(number) + ".MP4"))) << number;
}

// Sources the encoder gives up on at once - ten text files named .avi, ten
// files gone before the batch starts: every row must end with the reason
// the encoder published, however quickly it exited. Prints how long the
// batch took (a figure for the record, not a limit).
TEST_F(RealBatch, TwentySourcesThatFailAtOnceEachTellWhyInTheirTip) {
    const std::string sources = InFolder("not-videos");
    e2e::MakeEmptyFolder(sources);
    std::vector<std::string> names;
    for (int i = 0; i < 20; ++i) {
        names.push_back("note" + std::to_string(i) + ".avi");
        e2e::WriteTextFile(e2e::JoinPath(sources, names.back()), "not a video\r\n");
    }
    StartProgram();
    AddFiles(sources, names);
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 20; }));
    for (size_t i = 1; i < names.size(); i += 2) DeleteFileA(e2e::JoinPath(sources, names[i]).c_str());
    const ULONGLONG started = GetTickCount64();
    e2e::Click(Button(IDC_START));
    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(Pid(), 300000);
    const ULONGLONG took = GetTickCount64() - started;
    ASSERT_NE(box.window, nullptr) << "no end message";
    std::printf("twenty failed rows took %.1f s\n", static_cast<double>(took) / 1000);
    EXPECT_EQ(box.text, "已完成\n20 个文件转换失败");
    ASSERT_TRUE(e2e::PressOk(box));
    ASSERT_NO_FATAL_FAILURE(CloseProgressWindow());

    for (int row = 0; row < 20; ++row) {
        // Chinese only: the encoder's English detail is in the row's log.
        const std::string expected = std::string("\r\n") + (row % 2 ? "无法读取源文件" : "不支持的视频格式");
        // The tip naming this row's file is the row's tip.
        EXPECT_TRUE(TipOnStatus(row, [&](const std::string& tip) {
            return tip.find(names[static_cast<size_t>(row)]) != std::string::npos &&
                   tip.size() > expected.size() && tip.compare(tip.size() - expected.size(), expected.size(), expected) == 0;
        }));
    }
}

}  // namespace
