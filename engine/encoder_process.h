#pragma once
// Running the external encoder, behind an interface so the worker can be
// exercised without real processes, and the set of encoders a batch runs,
// which its cancel and its pause act on.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// One started encoder process. Destroying it releases the process handle;
// until then the handle keeps naming this process even after it has exited,
// so Terminate can never reach a process that was started later.
// Wait and Terminate may be called from different threads at the same time.
class EncoderRun {
public:
    virtual ~EncoderRun() = default;
    // Returns once the process has exited; no time limit.
    virtual void Wait() = 0;
    // Waits at most `milliseconds`; true once the process has exited.
    virtual bool WaitFor(int milliseconds) = 0;
    // The system's id of the process; it names the encoder's progress record.
    virtual uint32_t ProcessId() = 0;
    // Ends the process with exit code 0; no effect once it has exited.
    virtual void Terminate() = 0;
    // The exit code, after Wait; false when the system cannot tell it.
    virtual bool ExitCode(uint32_t& code) = 0;
    // Holds every thread of the process, without asking it, until Resume;
    // Terminate still ends a held process.
    virtual void Suspend() = 0;
    virtual void Resume() = 0;
};

// Called with a new process's id before the process runs (its progress
// record is made then).
using BeforeRun = std::function<void(uint32_t processId)>;

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Starts a command line (the executable is its first token) hidden, in a
    // console of its own; `beforeRun`, when given, is called while the new
    // process is held before its first instruction. Null when the process
    // could not be created.
    virtual std::unique_ptr<EncoderRun> Start(const std::string& commandLine, const BeforeRun& beforeRun) = 0;
    // As Start, with the process's stdout and stderr appended to the file
    // `outputFile` (its log); "" or a launcher without files: as Start.
    virtual std::unique_ptr<EncoderRun> StartWithOutput(const std::string& commandLine, const BeforeRun& beforeRun,
                                                        const std::string& outputFile) {
        (void)outputFile;
        return Start(commandLine, beforeRun);
    }
};

// The encoders of one batch that are running now, shared between the rows'
// threads (which start them) and the cancel and pause on the UI thread.
class EncoderRuns {
public:
    // Starts `commandLine` unless `stop` is already set, and keeps the new
    // process among those TerminateAll and SuspendAll act on; one started
    // while the runs are suspended is suspended at once. The flag is read
    // under the same lock TerminateAll takes, and the canceller sets the
    // flag before it terminates, so a cancel either prevents the start or
    // kills the process just started.
    // Returns null with `stopped` true when the flag prevented the start,
    // null with `stopped` false when the process could not be created.
    // `outputFile`: see ProcessLauncher::StartWithOutput.
    std::shared_ptr<EncoderRun> Start(ProcessLauncher& launcher, const std::string& commandLine,
                                      const BeforeRun& beforeRun, const std::atomic<bool>& stop, bool& stopped,
                                      const std::string& outputFile = "");
    void TerminateAll();
    void SuspendAll();
    void ResumeAll();
    // Lets go of `run` (its row is done with it).
    void Release(const std::shared_ptr<EncoderRun>& run);
    int Count();

private:
    std::mutex mutex_;
    std::vector<std::shared_ptr<EncoderRun>> running_;
    bool suspended_ = false;
};
