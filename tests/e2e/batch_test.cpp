// Batches under Wine with the stand-in encoder (tests/win32/test_encoder.cpp)
// installed as the program's encoder: the progress window, the statuses, the
// end message, cancelling, a failing encoder and the exact command line.
#include <windows.h>

#include <commctrl.h>

#include <cstdlib>

#include "batch_watch.h"
#include "named_event.h"
#include "scenario.h"

using e2e::JoinPath;
using Texts = std::vector<std::string>;

namespace {

using e2e::NamedEvent;

class Batch : public ProgramScenario {
protected:
    void SetUp() override {
        ProgramScenario::SetUp();
        e2e::InstallEncoderForProgram(e2e::WindowsPath(VQ_E2E_TEST_ENCODER));
        videos_ = InFolder("videos");
        out_ = InFolder("out");
        MakeFiles(videos_, {"a.avi", "b.avi", "c.avi"});
        e2e::MakeEmptyFolder(out_);
        // The values of the settings dialog's "默认" button.
        WriteConfig("[Settings]\r\nResolution=0\r\nFramerate=1\r\nChannels=1\r\nVideoQuality=450\r\n"
                    "AudioQuality=48\r\nVolume=100\r\nPspNumber=30000\r\nOutput=" + out_ + "\r\n");
    }
    void TearDown() override {
        ProgramScenario::TearDown();
        SetEnvironmentVariableA("VQ_TEST_ENCODER", nullptr);
    }

    // The stand-in encoder's behaviour; the program passes its environment on.
    void EncoderBehaviour(const std::string& options) {
        SetEnvironmentVariableA("VQ_TEST_ENCODER", options.c_str());
    }
    std::string Record() const { return InFolder("record.txt"); }
    std::string Target(int number) const { return JoinPath(out_, "M4V" + std::to_string(number) + ".MP4"); }

    void StartWithThreeRows() {
        StartProgram();
        AddFiles(videos_, {"a.avi", "b.avi", "c.avi"});
        ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 3; }));
    }

    HWND WaitForProgressWindow() { return e2e::WaitForWindow(Pid(), VQ_CLASS_PROGRESS_WINDOW); }
    static int Progress(HWND progressWindow) {
        return static_cast<int>(
            SendMessageA(e2e::Control(progressWindow, IDC_PROGRESS_BAR), PBM_GETPOS, 0, 0));
    }
    static std::string CancelCaption(HWND progressWindow) {
        return e2e::WindowText(e2e::Control(progressWindow, IDC_PROGRESS_CANCEL));
    }
    bool StatusesBecome(const Texts& expected, int ms = e2e::kDefaultWait) {
        return e2e::WaitUntil([&] { return Column(2) == expected; }, ms);
    }

    std::string videos_;
    std::string out_;
};

TEST_F(Batch, ThreeRowsAreConvertedThenTheEndIsReportedAndCancelBecomesClose) {
    EncoderBehaviour("write=1;record=" + Record());
    StartWithThreeRows();
    // The encoder was installed under its working name at start.
    EXPECT_TRUE(e2e::FileExists(JoinPath(e2e::SystemFolder(), "trancor.exe")));
    EXPECT_FALSE(e2e::FileExists(JoinPath(e2e::SystemFolder(), "trancor1.dll")));

    e2e::Click(Button(IDC_START));
    HWND output = WaitForProgressWindow();
    ASSERT_NE(output, nullptr) << "no progress window";
    EXPECT_FALSE(IsWindowEnabled(Form())) << "the main window must be blocked during a batch";
    EXPECT_EQ(CancelCaption(output), "取消");
    // Centred the first time; client area 426 x 114 (the pause button's row below); in front of other programs.
    RECT first = e2e::WindowRect(output);
    EXPECT_LE(std::abs((first.left + first.right) / 2 - GetSystemMetrics(SM_CXSCREEN) / 2), 1);
    EXPECT_LE(std::abs((first.top + first.bottom) / 2 - GetSystemMetrics(SM_CYSCREEN) / 2), 1);
    RECT client{};
    GetClientRect(output, &client);
    EXPECT_EQ(client.right, 426);
    EXPECT_EQ(client.bottom, 114);
    EXPECT_TRUE(GetWindowLongA(output, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_FALSE(GetWindowLongA(output, GWL_STYLE) & WS_SYSMENU) << "no caption buttons";

    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(Pid(), 60000);
    ASSERT_NE(box.window, nullptr) << "no end message";
    Screenshot("finished");
    EXPECT_EQ(box.caption, "注意");
    EXPECT_EQ(box.text, "已完成");
    EXPECT_TRUE(box.hasExclamationIcon);
    EXPECT_EQ(Column(2), (Texts{"完成", "完成", "完成"}));
    // The caption changes only once the message has been dismissed.
    EXPECT_EQ(CancelCaption(output), "取消");
    ASSERT_TRUE(e2e::PressOk(box));
    EXPECT_TRUE(e2e::WaitUntil([&] { return CancelCaption(output) == "关闭"; }));
    EXPECT_EQ(Progress(output), 2000);
    Screenshot("close");

    for (int number : {30000, 30001, 30002}) EXPECT_TRUE(e2e::FileExists(Target(number))) << number;
    // The last run's command line, byte for byte.
    std::string commandLine = e2e::ReadTextFile(Record());
    commandLine = commandLine.substr(0, commandLine.find('\n'));
    EXPECT_EQ(commandLine, JoinPath(e2e::SystemFolder(), "trancor.exe") + " -i \"" +
                               JoinPath(videos_, "c.avi") +
                               "\"  -s 320x240  -r 29.97  -ac 2  -b 450  -ab 48  -vol 100  -title "
                               "\"pelmora\"  -ar 24000  -acodec aac  -f psp -y \"" +
                               Target(30002) + "\"");

    // The user moves it; it reappears there on the next Start.
    SetWindowPos(output, nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    e2e::Click(e2e::Control(output, IDC_PROGRESS_CANCEL));
    EXPECT_TRUE(e2e::WaitForWindowGone(Pid(), VQ_CLASS_PROGRESS_WINDOW));
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(Form()) != FALSE; }));
    EXPECT_EQ(Column(2), (Texts{"完成", "完成", "完成"}));

    // A second Start clears every status before its worker begins.
    NamedEvent hold("VidquillE2eHoldSecondStart", true);
    EncoderBehaviour("hold=" + hold.Name());
    e2e::Click(Button(IDC_START));
    ASSERT_TRUE(StatusesBecome(Texts{"正在处理", "", ""}));
    output = WaitForProgressWindow();
    ASSERT_NE(output, nullptr);
    EXPECT_EQ(e2e::WindowText(output), "Output");
    EXPECT_EQ(CancelCaption(output), "取消");
    EXPECT_EQ(e2e::WindowRect(output).left, 40);
    EXPECT_EQ(e2e::WindowRect(output).top, 50);
    e2e::Click(e2e::Control(output, IDC_PROGRESS_CANCEL));
    EXPECT_TRUE(StatusesBecome(Texts{"放弃", "", ""}));
}

TEST_F(Batch, CancelDuringTheSecondRowClosesAtOnceAbandonsItAndLeavesTheThirdUntouched) {
    NamedEvent hold("VidquillE2eHold", true);
    NamedEvent started("VidquillE2eStarted", false);
    EncoderBehaviour("write=1;hold=" + hold.Name() + ";ready=" + started.Name());
    StartWithThreeRows();
    e2e::Click(Button(IDC_START));
    HWND output = WaitForProgressWindow();
    ASSERT_NE(output, nullptr);

    // The first row's encoder is let go as soon as it runs; the second's is
    // held (the first row's end takes seconds, time enough to hold again).
    ASSERT_TRUE(started.Wait(20000)) << "the first encoder did not start";
    hold.Set();
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::FileExists(Target(30000)); }));
    hold.Reset();
    ASSERT_TRUE(started.Wait(20000)) << "the second encoder did not start";
    EXPECT_EQ(Column(2), (Texts{"完成", "正在处理", ""}));
    EXPECT_EQ(e2e::ListSelectedRow(List()), 1);

    // A tick of the main window's timer names the row in the caption.
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(output) == "b.avi >> M4V30001.MP4"; }))
        << "caption: " << e2e::WindowText(output);
    EXPECT_GE(Progress(output), 1);
    Screenshot("progress");

    e2e::Click(e2e::Control(output, IDC_PROGRESS_CANCEL));
    EXPECT_TRUE(e2e::WaitForWindowGone(Pid(), VQ_CLASS_PROGRESS_WINDOW, "", 2000)) << "did not close at once";
    ASSERT_TRUE(StatusesBecome(Texts{"完成", "放弃", ""}, 20000));
    // The killed run left neither a target nor its unfinished file, and
    // the third encoder never ran; no end message came.
    EXPECT_FALSE(e2e::FileExists(Target(30001)));
    EXPECT_FALSE(e2e::FileExists(Target(30001) + ".part"));
    EXPECT_FALSE(e2e::FileExists(Target(30002)));
    EXPECT_EQ(e2e::WaitForMessageBox(Pid(), 500).window, nullptr);
    EXPECT_FALSE(started.Wait(0));
}

TEST_F(Batch, ClosingWhilePausedEndsTheBatchAsACancelAndLeavesNoEncoderBehind) {
    NamedEvent hold("VidquillE2eHoldClose", true);
    NamedEvent started("VidquillE2eStartedClose", false);
    EncoderBehaviour("write=1;hold=" + hold.Name() + ";ready=" + started.Name());
    StartWithThreeRows();
    e2e::Click(Button(IDC_START));
    HWND output = WaitForProgressWindow();
    ASSERT_NE(output, nullptr);
    ASSERT_TRUE(started.Wait(20000));
    HWND pause = e2e::Control(output, IDC_PROGRESS_PAUSE);
    e2e::Click(pause);
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(pause) == "继续"; }));
    EXPECT_EQ(e2e::WindowText(e2e::Control(output, IDC_PROGRESS_STATUS_LINE)), "已暂停");
    EXPECT_EQ(Column(2), (Texts{"正在处理", "", ""}));
    // The close request the taskbar sends while the progress window is up.
    PostMessageA(Form(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(Process().WaitForExit(20000)) << "the program waited for its held encoder";
    EXPECT_FALSE(e2e::ProcessRunning("trancor.exe", Process().Pid())) << "an encoder outlived the program";
    EXPECT_FALSE(e2e::FileExists(Target(30000) + ".part"));
    EXPECT_FALSE(e2e::FileExists(Target(30000)));
    EXPECT_FALSE(started.Wait(0)) << "no later row was started";
    EXPECT_EQ(e2e::ReadIni(ConfigIni(), "Settings", "Output"), out_);
}

// Top-level windows of any process whose caption is `title`.
std::vector<HWND> WindowsTitled(const std::string& title) {
    std::vector<HWND> found;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (IsWindowVisible(w) && e2e::WindowText(w) == title) found.push_back(w);
    }
    return found;
}

TEST_F(Batch, OpenFolderShowsTheOutputFolderWhileTheConversionGoesOn) {
    NamedEvent hold("VidquillE2eHoldOpen", true);
    EncoderBehaviour("write=1;hold=" + hold.Name());
    StartProgram();
    AddFiles(videos_, {"a.avi"});
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 1; }));
    e2e::Click(Button(IDC_START));
    HWND output = WaitForProgressWindow();
    ASSERT_NE(output, nullptr);
    e2e::Click(e2e::Control(output, IDC_PROGRESS_OPEN_FOLDER));
    HWND folderWindow = nullptr;
    ASSERT_TRUE(e2e::WaitUntil([&] {
        auto windows = WindowsTitled("out");
        folderWindow = windows.empty() ? nullptr : windows.front();
        return folderWindow != nullptr;
    }, 20000)) << "no window of the output folder";
    Screenshot("folder");
    PostMessageA(folderWindow, WM_CLOSE, 0, 0);
    EXPECT_EQ(Column(2), Texts{"正在处理"});
    hold.Set();
    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(Pid(), 60000);
    ASSERT_NE(box.window, nullptr) << "the batch did not go on to its end";
    EXPECT_EQ(Column(2), Texts{"完成"});
    ASSERT_TRUE(e2e::PressOk(box));
}

TEST_F(Batch, FailedRowsAreCountedAtTheEndAndTellWhyWhenThePointerRestsOnThem) {
    // Both rows fail as trancor reports it: a reason code and its detail in
    // the progress record, exit code 1.
    EncoderBehaviour("publish=5000;reason=2;message=Permission denied;exit=1;say=opening the source");
    StartProgram();
    AddFiles(videos_, {"a.avi", "b.avi"});
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 2; }));
    ASSERT_NO_FATAL_FAILURE(StartAndConfirmTheEnd("已完成\n2 个文件转换失败", Texts{"失败", "失败"}, 60000, "failed"));
    ASSERT_NO_FATAL_FAILURE(CloseProgressWindow());

    // The pointer rests on the second row's status: the tip gives its paths,
    // then the reason.
    EXPECT_TRUE(TipOnStatus(1, [&](const std::string& tip) {
        return tip == JoinPath(videos_, "b.avi") + "\r\n" + Target(30001) + "\r\n无法读取源文件";
    }));
    Screenshot("reason-tip");

    // The English detail is in the row's log beside Config.ini, with the
    // encoder's own output, named after the target and the start time.
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(InFolder("logs\\M4V30001.MP4-*.log").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << "no log of the second row";
    FindClose(search);
    // UTF-8 already: read as it is.
    const std::string log = e2e::ReadFileStart(InFolder(std::string("logs\\") + found.cFileName), 1 << 20);
    for (const std::string& part : {std::string("命令行："), JoinPath(videos_, "b.avi"), std::string("opening the source\r\n"),
                                    std::string("err opening the source\r\n"), std::string("退出代码：1\r\n"),
                                    std::string("原因：无法读取源文件 - Permission denied\r\n")})
        EXPECT_NE(log.find(part), std::string::npos) << part << " not in:\n" << log;
}

TEST_F(Batch, TheBarAndTheStatusLineFollowWhatTheEncoderReports) {
    NamedEvent hold("VidquillE2eHoldReport", true);
    NamedEvent reported("VidquillE2eReported", false);
    // Half of a 20 s source done, then the encoder waits.
    EncoderBehaviour("write=1;publish=20000;steps=0,5000,10000;pace=200;ready=" + reported.Name() +
                     ";hold=" + hold.Name());
    StartProgram();
    AddFiles(videos_, {"a.avi", "b.avi"});
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 2; }));
    e2e::Click(Button(IDC_START));
    HWND output = WaitForProgressWindow();
    ASSERT_NE(output, nullptr);
    HWND statusLine = e2e::Control(output, IDC_PROGRESS_STATUS_LINE);
    ASSERT_TRUE(reported.Wait(20000)) << "the encoder did not report";
    EXPECT_TRUE(e2e::WaitUntil([&] { return Progress(output) == 1000; })) << "bar: " << Progress(output);
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(statusLine).rfind("50% · 第 1/2 个", 0) == 0; }))
        << "status line: " << e2e::WindowText(statusLine);
    // The timer still names the row, but leaves the reported bar alone.
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(output) == "a.avi >> M4V30000.MP4"; }));
    EXPECT_EQ(Progress(output), 1000);
    RECT line{};
    GetWindowRect(statusLine, &line);
    MapWindowPoints(nullptr, output, reinterpret_cast<POINT*>(&line), 2);
    EXPECT_EQ(line.left, 16);
    EXPECT_EQ(line.right, 216);
    Screenshot("reported");

    hold.Set();
    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(Pid(), 60000);
    ASSERT_NE(box.window, nullptr) << "no end message";
    EXPECT_EQ(box.text, "已完成");
    EXPECT_EQ(Column(2), (Texts{"完成", "完成"}));
    EXPECT_EQ(e2e::WindowText(statusLine), "") << "the line empties once the encoder has gone";
    ASSERT_TRUE(e2e::PressOk(box));
}

TEST_F(Batch, ClosingTheProgramMidBatchStopsTheEncoderAndLeavesNoUnfinishedFile) {
    NamedEvent hold("VidquillE2eHoldExit", true);
    NamedEvent started("VidquillE2eStartedExit", false);
    // An encoder that would go on for a minute.
    EncoderBehaviour("write=1;publish=60000;steps=0,1000;ready=" + started.Name() + ";hold=" + hold.Name());
    StartWithThreeRows();
    e2e::Click(Button(IDC_START));
    ASSERT_NE(WaitForProgressWindow(), nullptr);
    ASSERT_TRUE(started.Wait(20000));
    ASSERT_TRUE(e2e::FileExists(Target(30000) + ".part"));
    // The close request the taskbar sends while the progress window is up.
    PostMessageA(Form(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(Process().WaitForExit(20000)) << "the program waited for its encoder";
    EXPECT_FALSE(e2e::FileExists(Target(30000) + ".part"));
    EXPECT_FALSE(e2e::FileExists(Target(30000)));
    EXPECT_FALSE(started.Wait(0)) << "no later row was started";
    EXPECT_EQ(e2e::ReadIni(ConfigIni(), "Settings", "Output"), out_);
}

// Changes the user's decimal mark as the regional settings do, and puts the
// old one back.
class UserDecimalMark {
public:
    explicit UserDecimalMark(const char* mark) {
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, old_, sizeof old_);
        SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, mark);
    }
    UserDecimalMark(const UserDecimalMark&) = delete;
    UserDecimalMark& operator=(const UserDecimalMark&) = delete;
    ~UserDecimalMark() { SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, old_); }

private:
    char old_[16] = {};
};

// The mark is read at start and again on WM_SETTINGCHANGE. Wine keeps a
// process's regional values from its first reading, so a change made while
// the program runs never reaches it there; this checks the reading at start.
// The comma is the user's setting only until the main window is up, as other
// test programs share the prefix.
TEST_F(Batch, TheFrameRateUsesTheUsersDecimalMark) {
    EncoderBehaviour("record=" + Record());
    {
        UserDecimalMark comma(",");
        StartProgram();
    }
    AddFiles(videos_, {"a.avi"});
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 1; }));
    e2e::Click(Button(IDC_START));
    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(Pid(), 60000);
    ASSERT_NE(box.window, nullptr) << "no end message";
    std::string commandLine = e2e::ReadTextFile(Record());
    EXPECT_NE(commandLine.find("  -r 29,97  "), std::string::npos) << commandLine;
    ASSERT_TRUE(e2e::PressOk(box));
}

// H.264 onto a memory stick: the picture, title and subtitle options reach
// the encoder, and Start makes the stick's H.264 folder beside its MPEG-4 one.
TEST_F(Batch, H264ForAMemoryStickGoesIntoItsH264FolderWhichStartCreates) {
    EncoderBehaviour("write=1;record=" + Record());
    const std::string stick = InFolder("stick");
    e2e::MakeEmptyFolder(stick);
    e2e::MakeEmptyFolder(JoinPath(stick, "MP_ROOT"));
    e2e::MakeEmptyFolder(JoinPath(stick, "MP_ROOT\\100MNV01"));
    WriteConfig("[Settings]\r\nResolution=1\r\nFramerate=1\r\nChannels=1\r\nVideoQuality=450\r\n"
                "AudioQuality=48\r\nVolume=100\r\nPspNumber=30000\r\nAspectMode=1\r\nVideoFormat=1\r\n"
                "TitleFromName=1\r\nSubtitles=1\r\nOutput=" + JoinPath(stick, "mp_root\\100mnv01") + "\r\n");
    StartProgram();
    AddFiles(videos_, {"a.avi"});
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 1; }));
    const std::string target = JoinPath(stick, "mp_root\\100ANV01\\MAQ30000.MP4");
    EXPECT_EQ(Column(1), Texts{target});
    EXPECT_FALSE(e2e::DirectoryExists(JoinPath(stick, "MP_ROOT\\100ANV01"))) << "made at Start, not before";

    e2e::Click(Button(IDC_START));
    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(Pid(), 60000);
    ASSERT_NE(box.window, nullptr) << "no end message";
    EXPECT_EQ(Column(2), Texts{"完成"});
    ASSERT_TRUE(e2e::PressOk(box));
    EXPECT_TRUE(e2e::FileExists(target));
    std::string commandLine = e2e::ReadTextFile(Record());
    EXPECT_EQ(commandLine.substr(0, commandLine.find('\n')),
              JoinPath(e2e::SystemFolder(), "trancor.exe") + " -i \"" + JoinPath(videos_, "a.avi") +
                  "\"  -s 480x272  -vcodec h264  -fit pad  -sub auto  -r 29.97  -ac 2  -b 450  -ab 48"
                  "  -vol 100  -title \"a\"  -ar 24000  -acodec aac  -f psp -y \"" + target + "\"");
}

}  // namespace
