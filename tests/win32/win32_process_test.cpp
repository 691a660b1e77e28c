// The real process calls: what the started encoder sees, waiting, exit
// codes, the cancel's kill, the pause's hold and the kill-on-close job.
#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "../test_folder.h"
#include "codepage.h"
#include "encoder_command.h"
#include "encoder_process.h"
#include "win32/win32_process.h"
#include "win32_test_support.h"
#include "../worker_fakes.h"

namespace {

class Win32Encoder : public ::testing::Test {
protected:
    std::string Command(const std::string& target) const {
        ConversionJob job{SysText("D:\\视频\\假期  片段.avi"), target, "", ""};
        return BuildEncoderCommand(job, ConversionSettings(), encoderPath);
    }
    // Runs `command` to its end; its exit code, or -1 when it did not start.
    int RunToEnd(const std::string& command) {
        auto run = launcher.Start(command, {});
        if (!run) return -1;
        run->Wait();
        uint32_t code = 0;
        return run->ExitCode(code) ? static_cast<int>(code) : -2;
    }

    TestFolder folder;
    std::string encoderPath = TestEncoderPath();
    Win32ProcessLauncher launcher;
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
    EXPECT_EQ(RunToEnd(command), 0);

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
    std::unique_ptr<EncoderRun> run = launcher.StartWithOutput(command, nullptr, log);
    ASSERT_TRUE(run);
    run->Wait();
    // The stand-in writes in the C runtime's text mode, as trancor does.
    EXPECT_EQ(ReadWholeFile(log), "header\r\nframes 42\r\nerr frames 42\r\n");
    // STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES, still hidden.
    EXPECT_EQ(ReadWholeFile(record).substr(0, command.size() + 18), command + "\nflags=257 show=0\n");
    // The log can be removed (the oldest logs are) whoever still holds it.
    EXPECT_TRUE(DeleteFileA(log.c_str()));
}

TEST_F(Win32Encoder, WaitsForTheEncoderAndTakesItsExitCode) {
    const std::string target = folder.Path("M4V30000.MP4");
    {
        EncoderBehaviour behaviour("write=1");
        EXPECT_EQ(RunToEnd(Command(target)), 0);
        // The target is moved into place only just before the encoder exits.
        EXPECT_EQ(ReadWholeFile(target), "half and whole");
        EXPECT_FALSE(FileExists(target + ".part"));
    }
    {
        EncoderBehaviour behaviour("exit=3");
        EXPECT_EQ(RunToEnd(Command(target)), 3);
    }
}

TEST_F(Win32Encoder, AMissingEncoderFailsAtOnce) {
    encoderPath = folder.Path("trancor.exe");
    EXPECT_EQ(RunToEnd(Command(folder.Path("M4V1.MP4"))), -1);
}

TEST_F(Win32Encoder, TheCancelKillsEveryRunningEncoderAndNoLaterProcess) {
    const std::string target = folder.Path("M4V30001.MP4");
    folder.WriteFile("M4V30001.MP4", "old");
    NamedEvent ready("ready"), hold("hold"), otherReady("other"), otherHold("otherHold");
    EncoderRuns runs;
    std::atomic<bool> stop{false};
    bool stopped = false;
    std::shared_ptr<EncoderRun> ended, killed;
    {
        EncoderBehaviour behaviour("");
        ended = runs.Start(launcher, Command(folder.Path("M4V2.MP4")), {}, stop, stopped);
        ASSERT_TRUE(ended);
        ended->Wait();
        runs.Release(ended);  // its handle is still open: it must never be reached again
    }
    {
        EncoderBehaviour behaviour("write=1;ready=" + ready.Name() + ";hold=" + hold.Name());
        killed = runs.Start(launcher, Command(target), {}, stop, stopped);
        ASSERT_TRUE(killed);
        ASSERT_TRUE(ready.WaitSet());
    }
    EncoderBehaviour behaviour("exit=7;ready=" + otherReady.Name() + ";hold=" + otherHold.Name());
    auto other = launcher.Start(Command(folder.Path("M4V3.MP4")), {});
    ASSERT_TRUE(other);
    ASSERT_TRUE(otherReady.WaitSet());

    runs.TerminateAll();
    killed->Wait();
    uint32_t code = 1;
    ASSERT_TRUE(killed->ExitCode(code));
    EXPECT_EQ(code, 0u) << "killed with exit code 0";
    EXPECT_EQ(ReadWholeFile(target), "old") << "a killed run must not reach the target";
    EXPECT_EQ(ReadWholeFile(target + ".part"), "half");
    otherHold.Set();
    other->Wait();
    ASSERT_TRUE(other->ExitCode(code));
    EXPECT_EQ(code, 7u) << "a process the batch did not start was killed";
}

// The processor time a process has used, in 100 ns units.
uint64_t ProcessorTime(uint32_t processId) {
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!process || !GetProcessTimes(process.Get(), &created, &exited, &kernel, &user)) return 0;
    auto value = [](const FILETIME& t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
    return value(kernel) + value(user);
}

TEST_F(Win32Encoder, APausedEncoderUsesNoProcessorTimeAndGoesOnWhenResumedAndItsJobOutlivesNothing) {
    NamedEvent ready("ready"), hold("hold");
    EncoderBehaviour behaviour("spin=1;ready=" + ready.Name() + ";hold=" + hold.Name());
    auto run = launcher.Start(Command(folder.Path("M4V4.MP4")), {});
    ASSERT_TRUE(run);
    ASSERT_TRUE(ready.WaitSet());
    UniqueHandle process(OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, run->ProcessId()));
    BOOL inJob = FALSE;
    ASSERT_TRUE(IsProcessInJob(process.Get(), nullptr, &inJob));
    EXPECT_TRUE(inJob) << "the encoder must die with the program";

    run->Suspend();
    Sleep(100);  // a time slice under way ends
    const uint64_t atPause = ProcessorTime(run->ProcessId());
    // Told to finish while paused, it cannot even notice; Wine updates
    // another process's times only now and then, so its exit is the proof
    // that resuming lets it run again.
    hold.Set();
    Sleep(600);
    EXPECT_EQ(ProcessorTime(run->ProcessId()), atPause) << "a paused encoder went on working";
    EXPECT_FALSE(run->WaitFor(0)) << "a paused encoder went on working";
    run->Resume();
    EXPECT_TRUE(run->WaitFor(10000)) << "the resumed encoder stands still";
    run->Wait();
    uint32_t code = 1;
    ASSERT_TRUE(run->ExitCode(code));
    EXPECT_EQ(code, 0u);
}

}  // namespace
