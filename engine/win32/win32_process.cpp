#include "win32_process.h"

#include <windows.h>

#include <tlhelp32.h>

#include <vector>

#include "encoder_job.h"
#include "unique_handle.h"

namespace {

// The whole process held or let go, without asking it: every thread of it
// suspended or resumed. (NtResumeProcess left the process held under Wine.)
void ForEachThreadOf(DWORD processId, DWORD (WINAPI* act)(HANDLE)) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return;
    UniqueHandle owned(snapshot);
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != processId) continue;
        UniqueHandle thread(OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID));
        if (thread) act(thread.Get());
    }
}

class Win32EncoderRun final : public EncoderRun {
public:
    explicit Win32EncoderRun(UniqueHandle process) : process_(std::move(process)) {}

    void Wait() override { WaitForSingleObject(process_.Get(), INFINITE); }
    bool WaitFor(int milliseconds) override {
        return WaitForSingleObject(process_.Get(), static_cast<DWORD>(milliseconds)) != WAIT_TIMEOUT;
    }
    uint32_t ProcessId() override { return GetProcessId(process_.Get()); }
    // Fails harmlessly once the process has exited. The handle stays open for
    // this object's lifetime, so it cannot name a later process.
    void Terminate() override { TerminateProcess(process_.Get(), 0); }
    bool ExitCode(uint32_t& code) override {
        DWORD value = 0;
        if (!GetExitCodeProcess(process_.Get(), &value) || value == STILL_ACTIVE) return false;
        code = value;
        return true;
    }

    void Suspend() override { ForEachThreadOf(GetProcessId(process_.Get()), SuspendThread); }
    void Resume() override { ForEachThreadOf(GetProcessId(process_.Get()), ResumeThread); }

private:
    UniqueHandle process_;
};

// The encoder's stdout and stderr, appended to its log. Inheritable, so
// the child gets it; our copy is closed once the child has been created.
// Shared for deleting: Wine's console host inherits the handle too and may
// hold it a moment after the encoder has gone, and the oldest logs must
// still go.
UniqueHandle OpenOutputFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return UniqueHandle(CreateFileA(path.c_str(), FILE_APPEND_DATA,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

std::unique_ptr<EncoderRun> Win32ProcessLauncher::Start(const std::string& commandLine, const BeforeRun& beforeRun) {
    return StartWithOutput(commandLine, beforeRun, "");
}

std::unique_ptr<EncoderRun> Win32ProcessLauncher::StartWithOutput(const std::string& commandLine,
                                                                  const BeforeRun& beforeRun,
                                                                  const std::string& outputFile) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;  // replaces every other flag, the std-handle one too
    startup.wShowWindow = SW_HIDE;
    // A log that cannot be opened costs the log, never the run.
    UniqueHandle output = outputFile.empty() ? UniqueHandle() : OpenOutputFile(outputFile);
    if (output) {
        startup.dwFlags |= STARTF_USESTDHANDLES;
        startup.hStdInput = nullptr;
        startup.hStdOutput = output.Get();
        startup.hStdError = output.Get();
    }

    // CreateProcessA may write into the command line, so it gets a copy.
    std::vector<char> command(commandLine.begin(), commandLine.end());
    command.push_back('\0');
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NEW_CONSOLE | CREATE_SUSPENDED,
                        nullptr, nullptr, &startup, &info))
        return nullptr;
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);  // needed only to resume it
    // Before its first instruction, so not even a crash of ours can orphan it.
    AddToEncoderJob(process.Get());
    if (beforeRun) beforeRun(info.dwProcessId);
    if (ResumeThread(thread.Get()) == static_cast<DWORD>(-1)) {
        TerminateProcess(process.Get(), 1);  // would hang suspended forever
        return nullptr;
    }
    return std::make_unique<Win32EncoderRun>(std::move(process));
}
