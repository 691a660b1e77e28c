// What the user already has survives a restart: new rows step over the
// videos already in the target folder, and a list interrupted by a kill
// comes back (Vidquill.jobs), with the stand-in encoder of the worker tests.
#include <windows.h>

#include "batch_watch.h"

#include "named_event.h"
#include "scenario.h"

using e2e::JoinPath;
using Texts = std::vector<std::string>;

namespace {

using e2e::NamedEvent;

class KeptList : public ProgramScenario {
protected:
    void SetUp() override {
        ProgramScenario::SetUp();
        e2e::InstallEncoderForProgram(e2e::WindowsPath(VQ_E2E_TEST_ENCODER));
        videos_ = InFolder("videos");
        out_ = InFolder("out");
        MakeFiles(videos_, {"a.avi", "b.avi", "c.avi", "d.avi", "e.avi"});
        e2e::MakeEmptyFolder(out_);
        WriteConfig("[Settings]\r\nResolution=0\r\nFramerate=1\r\nChannels=1\r\nVideoQuality=450\r\n"
                    "AudioQuality=48\r\nVolume=100\r\nPspNumber=30000\r\nOutput=" + out_ + "\r\n");
    }
    void TearDown() override {
        const DWORD program = Pid();
        ProgramScenario::TearDown();
        e2e::KillProcesses("trancor.exe", program);
        SetEnvironmentVariableA("VQ_TEST_ENCODER", nullptr);
    }
    // Applies to the programs started afterwards.
    void EncoderBehaviour(const std::string& options) { SetEnvironmentVariableA("VQ_TEST_ENCODER", options.c_str()); }
    std::string Target(int number) const { return JoinPath(out_, "M4V" + std::to_string(number) + ".MP4"); }
    std::string JobsFile() const { return InFolder("Vidquill.jobs"); }
    void AddRows(const Texts& names, int count) {
        AddFiles(videos_, names);
        ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == count; }));
    }
    bool Answer(const e2e::MessageBoxInfo& box, int button) {
        PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(box.window, button)));
        return e2e::WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); });
    }

    std::string videos_;
    std::string out_;
};

TEST_F(KeptList, ARestartedProgramNamesNewRowsAfterTheVideosAlreadyThere) {
    // A list file that is no list: reported once, set aside, the start goes on.
    e2e::WriteTextFile(JobsFile(), "Vidquill jobs 1\r\nD:\\a.avi\r\n");
    EncoderBehaviour("write=1");
    StartProgram();
    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(Pid());
    ASSERT_NE(box.window, nullptr) << "the damaged list was not reported";
    EXPECT_EQ(box.caption, "注意");
    EXPECT_EQ(box.text, "上次的转换列表已损坏，无法恢复，已另存为 " + JobsFile() + ".bad");
    ASSERT_TRUE(e2e::PressOk(box));
    EXPECT_EQ(e2e::ReadTextFile(JobsFile() + ".bad"), "Vidquill jobs 1\r\nD:\\a.avi\r\n");

    ASSERT_NO_FATAL_FAILURE(AddRows({"a.avi", "b.avi", "c.avi"}, 3));
    ASSERT_NO_FATAL_FAILURE(StartAndConfirmTheEnd("已完成", Texts{"完成", "完成", "完成"}, 60000));
    ASSERT_NO_FATAL_FAILURE(CloseProgressWindow());
    CloseProgram();
    EXPECT_FALSE(e2e::FileExists(JobsFile())) << "a normal close leaves no list behind";

    StartProgram();
    EXPECT_EQ(e2e::WaitForMessageBox(Pid(), 1000).window, nullptr) << "nothing to report or restore";
    ASSERT_NO_FATAL_FAILURE(AddRows({"d.avi", "e.avi"}, 2));
    EXPECT_EQ(Column(1), (Texts{Target(30003), Target(30004)}));
    Screenshot("after-restart");
}

TEST_F(KeptList, AListKilledMidBatchComesBackAndIsFinished) {
    NamedEvent hold("VidquillE2eKeptHold", true);
    NamedEvent started("VidquillE2eKeptStarted", true);
    EncoderBehaviour("write=1;ready=" + started.Name() + ";hold=" + hold.Name());
    StartProgram();
    ASSERT_NO_FATAL_FAILURE(AddRows({"a.avi", "b.avi", "c.avi"}, 3));
    e2e::Click(Button(IDC_START));
    ASSERT_TRUE(started.Wait(20000)) << "the first encoder did not start";
    hold.Set();
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::FileExists(Target(30000)); }));
    hold.Reset();
    started.Reset();
    ASSERT_TRUE(started.Wait(20000)) << "the second encoder did not start";
    ASSERT_TRUE(e2e::WaitUntil([&] { return Column(2) == Texts{"完成", "正在处理", ""}; }));
    // The file follows every row's status (UTF-8, read as bytes).
    const std::string a = JoinPath(videos_, "a.avi"), b = JoinPath(videos_, "b.avi"), c = JoinPath(videos_, "c.avi");
    const std::string list = "Vidquill jobs 1\r\n" + a + "\t" + Target(30000) + "\t完成\r\n" + b + "\t" + Target(30001) +
                             "\t正在处理\r\n" + c + "\t" + Target(30002) + "\t\r\nend\r\n";
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ReadFileStart(JobsFile(), 4096) == list; }))
        << e2e::ReadFileStart(JobsFile(), 4096);

    // A power cut takes the encoder with the program.
    const DWORD program = Pid();
    Process().Kill();
    e2e::KillProcesses("trancor.exe", program);
    ASSERT_TRUE(e2e::FileExists(Target(30001) + ".part"));

    EncoderBehaviour("write=1");
    StartProgram();
    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(Pid());
    ASSERT_NE(box.window, nullptr) << "no question";
    EXPECT_EQ(box.caption, "注意");
    EXPECT_EQ(box.text, "上次的转换没有完成，还有 2 个文件。要恢复这个列表吗？");
    Screenshot("question");
    ASSERT_TRUE(Answer(box, IDYES));
    EXPECT_EQ(Rows(), (std::vector<Texts>{{b, Target(30001), ""}, {c, Target(30002), ""}}));
    EXPECT_FALSE(e2e::FileExists(Target(30001) + ".part"));
    Screenshot("recovered");

    // New rows go on after the restored ones; the list is finished.
    ASSERT_NO_FATAL_FAILURE(AddRows({"d.avi"}, 3));
    EXPECT_EQ(Column(1).back(), Target(30003));
    ASSERT_NO_FATAL_FAILURE(StartAndConfirmTheEnd("已完成", Texts{"完成", "完成", "完成"}, 60000, "finished"));
    for (int number : {30000, 30001, 30002, 30003}) EXPECT_TRUE(e2e::FileExists(Target(number))) << number;
    ASSERT_NO_FATAL_FAILURE(CloseProgressWindow());
    CloseProgram();
    EXPECT_FALSE(e2e::FileExists(JobsFile()));

    // Killed again with an unfinished list, and this time the user says no.
    e2e::WriteTextFile(JobsFile(), "Vidquill jobs 1\r\n" + a + "\t" + Target(30000) + "\t\r\nend\r\n");
    StartProgram();
    box = e2e::WaitForMessageBox(Pid());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, "上次的转换没有完成，还有 1 个文件。要恢复这个列表吗？");
    ASSERT_TRUE(Answer(box, IDNO));
    EXPECT_EQ(e2e::ListRowCount(List()), 0);
    EXPECT_FALSE(e2e::FileExists(JobsFile()));
}

}  // namespace
