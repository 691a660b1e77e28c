#pragma once
// Stand-ins for the encoder processes, the keep-awake hold and the files,
// so the worker can be driven step by step on Linux.
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "batch_indicators.h"
#include "encoder_process.h"
#include "encoder_progress.h"
#include "system_files.h"

// What one start of the encoder does.
struct FakeRunPlan {
    FakeRunPlan(bool startFails = false, uint32_t exitCode = 0, bool runsUntilKilled = false)
        : startFails(startFails), exitCode(exitCode), runsUntilKilled(runsUntilKilled) {}
    bool startFails = false;
    uint32_t exitCode = 0;
    bool runsUntilKilled = false;  // or until FakeLauncher::Finish
    // What it publishes, one record per read; a reader that reads on gets
    // the last one again. Unless it runs until killed, the process exits
    // once every record has been read. None: it publishes nothing.
    std::vector<trancor::ProgressSnapshot> reports;
    int64_t msPerRead = 0;     // the clock moves on by this much per read
};

// A report as the encoder publishes it.
trancor::ProgressSnapshot Report(int64_t doneUs, int64_t durationUs,
                                 trancor::RunState state = trancor::RunState::Running,
                                 trancor::FailureReason reason = trancor::FailureReason::None,
                                 const char* message = "");

// Processes, their progress records and the clock they run by.
class FakeLauncher final : public ProcessLauncher, public ProgressChannel {
public:
    // Plans by start order; starts beyond the list exit with 0 at once.
    std::vector<FakeRunPlan> plans;

    std::unique_ptr<EncoderRun> Start(const std::string& commandLine, const BeforeRun& beforeRun) override;
    // Keeps `outputFile` (see OutputFiles), then as Start.
    std::unique_ptr<EncoderRun> StartWithOutput(const std::string& commandLine, const BeforeRun& beforeRun,
                                                const std::string& outputFile) override;
    std::vector<std::string> OutputFiles();
    std::unique_ptr<ProgressReader> Create(uint32_t processId) override;
    int64_t NowMs();
    int Polls();  // WaitFor calls on every run
    std::vector<std::string> CommandLines();
    int Starts();
    int Terminations();   // Terminate calls that reached a process
    int LiveRuns();       // processes whose handle is still held
    // Lets the run of the `start`th start (from 0) exit with its plan's code.
    void Finish(int start);
    int Running();        // processes that have not exited
    int MostRunning();    // the most that ran at the same time
    int Suspended();      // processes held by Suspend now
    void AdvanceClock(int64_t ms);
    // Waits (up to ten seconds) until `done` holds; false if it never did.
    bool WaitUntil(const std::function<bool()>& done);

private:
    friend class FakeRun;
    friend class FakeReader;
    struct Script {
        FakeRunPlan plan;
        size_t reads = 0;
        bool killed = false;
        bool finished = false;  // let go by Finish
        bool exited = false;
        int suspends = 0;       // Suspend calls not yet resumed
        bool Ended() const;
    };
    int RunningLocked() const;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> commandLines_;
    std::vector<std::string> outputFiles_;
    std::map<uint32_t, std::shared_ptr<Script>> scripts_;  // by process id
    std::vector<std::shared_ptr<Script>> started_;         // by start
    int mostRunning_ = 0;
    int terminations_ = 0;
    int live_ = 0;
    int polls_ = 0;
    int64_t nowMs_ = 0;
};

// The keep-awake hold, recording "hold" and "release" from any thread.
class RecordingKeepAwake final : public KeepAwake {
public:
    void Hold() override { Record("hold"); }
    void Release() override { Record("release"); }
    std::vector<std::string> Events();

private:
    void Record(const std::string& event);
    std::mutex mutex_;
    std::vector<std::string> events_;
};

class FakeFiles final : public SystemFiles {
public:
    explicit FakeFiles(std::string folder = "C:\\sys") : folder(std::move(folder)) {}
    std::string SystemFolder() override { return folder; }
    bool RenameNoReplace(const std::string& from, const std::string& to) override;
    bool FileExists(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;

    std::string folder;
    std::map<std::string, std::string> files;  // path -> content
    std::vector<std::string> renames;          // "from>to", every attempt
    std::vector<std::string> removals;         // every attempt

private:
    std::mutex mutex_;
};
