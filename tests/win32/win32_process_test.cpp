// The real process calls: what the started encoder sees, waiting, exit
// codes, and the cancel's kill.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "../test_folder.h"
#include "codepage.h"
#include "encoder_command.h"
#include "process_state.h"
#include "batch_worker.h"
#include "win32/system_services.h"
#include "win32/win32_process.h"
#include "win32_test_support.h"
#include "../worker_fakes.h"

namespace {

class Win32Encoder : public ::testing::Test {
protected:
    void SetUp() override { EncoderPath = TestEncoderPath(); }

    std::string Command(const std::string& target) const {
        ConversionJob job{SysText("D:\\视频\\假期  片段.avi"), target, "", ""};
        return BuildEncoderCommand(job, Settings, EncoderPath);
    }

    TestFolder folder;
    RecordingUi windows;  // the worker is not run here, only RunEncoder
    BatchWorker worker{windows, SystemWorkerServices()};
};

TEST_F(Win32Encoder, StartsTheCommandLineByteForByteHiddenInANewConsole) {
    const std::string record = folder.Path("record.txt");
    NamedEvent inheritable("inherit");
    // An inheritable handle reaches the child only when inheritance is on.
    HANDLE child = nullptr;
    DuplicateHandle(GetCurrentProcess(), inheritable.Get(), GetCurrentProcess(), &child, 0, TRUE,
                    DUPLICATE_SAME_ACCESS);
    UniqueHandle childHandle(child);
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);

    EncoderBehaviour behaviour("record=" + record +
                               ";inherit=" + std::to_string(reinterpret_cast<uintptr_t>(child)));
    const std::string command = Command(InFolder(folder, SysText("目标.MP4")));
    EXPECT_EQ(worker.RunEncoder(command), EncoderOutcome::Succeeded);

    const std::string expected = command + "\n" +   // byte for byte, double spaces and GBK included
                                 "flags=1 show=0\n" +  // STARTF_USESHOWWINDOW only, SW_HIDE
                                 "console=1\n" +       // a console of its own
                                 "visible=0\n" +       // ...that does not show
                                 "cwd=" + cwd + "\n" +  // the caller's folder
                                 "inherited=1\n";      // handles inherited
    EXPECT_EQ(ReadWholeFile(record), expected);
    EXPECT_EQ(WaitForSingleObject(inheritable.Get(), 0), WAIT_OBJECT_0);
}

TEST_F(Win32Encoder, WithALogFileStdoutAndStderrAreAppendedToItAndTheCommandLineStaysAsItIs) {
    const std::string record = folder.Path("record.txt");
    const std::string log = folder.Path(SysText("日志.log"));
    { std::ofstream(log, std::ios::binary) << "header\r\n"; }
    EncoderBehaviour behaviour("record=" + record + ";say=frames 42");
    const std::string command = Command(InFolder(folder, "M4V30000.MP4"));
    Win32ProcessLauncher launcher;
    std::unique_ptr<EncoderRun> run = launcher.StartWithOutput(command, nullptr, log);
    ASSERT_TRUE(run);
    run->Wait();
    EXPECT_EQ(ReadWholeFile(log), "header\r\nframes 42\nerr frames 42\n");
    // STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES, still hidden.
    EXPECT_EQ(ReadWholeFile(record).substr(0, command.size() + 20), command + "\nflags=257 show=0\n");
    // The log can be appended to and removed once the run is over: no handle left open.
    EXPECT_TRUE(DeleteFileA(log.c_str()));
}

TEST_F(Win32Encoder, WaitsForTheEncoderAndTakesItsExitCode) {
    const std::string target = folder.Path("M4V30000.MP4");
    {
        EncoderBehaviour behaviour("write=1");
        EXPECT_EQ(worker.RunEncoder(Command(target)), EncoderOutcome::Succeeded);
        // The target is moved into place only just before the encoder exits.
        EXPECT_EQ(ReadWholeFile(target), "half and whole");
        EXPECT_FALSE(FileExists(target + ".part"));
    }
    {
        EncoderBehaviour behaviour("exit=3");
        EXPECT_EQ(worker.RunEncoder(Command(target)), EncoderOutcome::Failed);
    }
}

TEST_F(Win32Encoder, AMissingEncoderFailsAtOnceAndLeavesNoHandle) {
    EncoderPath = folder.Path("trancor.exe");
    EXPECT_EQ(worker.RunEncoder(Command(folder.Path("M4V1.MP4"))), EncoderOutcome::Failed);
    EXPECT_TRUE(EncoderProcess.Empty());
}

TEST_F(Win32Encoder, StopEncoderKillsTheRunningEncoder) {
    const std::string target = folder.Path("M4V30001.MP4");
    folder.WriteFile("M4V30001.MP4", "old");
    NamedEvent ready("ready"), hold("hold");
    EncoderBehaviour behaviour("write=1;ready=" + ready.Name() + ";hold=" + hold.Name());
    std::thread canceller([&] {
        if (ready.WaitSet()) StopEncoder(&worker);
    });
    const EncoderOutcome outcome = worker.RunEncoder(Command(target));
    canceller.join();
    // Killed with exit code 0; the stop flag was set first.
    EXPECT_EQ(outcome, EncoderOutcome::Succeeded);
    EXPECT_TRUE(worker.Terminated());
    EXPECT_EQ(ReadWholeFile(target), "old") << "a killed run must not reach the target";
    EXPECT_EQ(ReadWholeFile(target + ".part"), "half");
}

TEST_F(Win32Encoder, ACancelAfterTheRunNeverReachesALaterProcess) {
    {
        EncoderBehaviour behaviour("");
        ASSERT_EQ(worker.RunEncoder(Command(folder.Path("M4V2.MP4"))), EncoderOutcome::Succeeded);
    }
    // The ended run's handle is still held; another process now runs.
    NamedEvent ready("ready"), hold("hold");
    EncoderBehaviour behaviour("exit=7;ready=" + ready.Name() + ";hold=" + hold.Name());
    Win32ProcessLauncher launcher;
    auto other = launcher.Start(Command(folder.Path("M4V3.MP4")), {});
    ASSERT_TRUE(other);
    ASSERT_TRUE(ready.WaitSet());
    StopEncoder(&worker);
    hold.Set();
    other->Wait();
    uint32_t code = 0;
    ASSERT_TRUE(other->ExitCode(code));
    EXPECT_EQ(code, 7u) << "the other process was killed";
}

}  // namespace
