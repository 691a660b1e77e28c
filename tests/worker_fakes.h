#pragma once
// Stand-ins for the windows, the UI thread, the encoder processes and the
// files, so the worker can be driven step by step on Linux.
#include <condition_variable>
#include <deque>
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
#include "ui_thread.h"
#include "worker_ui.h"

// The test's own thread plays the UI thread: hand-offs from other threads
// queue up and run only while the test pumps, as under a message loop.
class FakeUiThread final : public UiInvoker {
public:
    FakeUiThread() : id_(std::this_thread::get_id()) {}
    bool Invoke(const std::function<void()>& call) override;
    // Runs hand-offs until `done` holds (checked between them).
    void PumpUntil(const std::function<bool()>& done);
    // From now on hand-offs are refused, as when the dispatcher is gone.
    void Close();
    // An end signal whose Wait pumps this thread's hand-offs.
    std::unique_ptr<WorkerEndSignal> NewEndSignal();
    bool OnThisThread() const { return std::this_thread::get_id() == id_; }
    std::thread::id Id() const { return id_; }

private:
    struct Pending;
    std::thread::id id_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Pending*> queue_;
    bool closed_ = false;
};

// The main and progress windows as the worker sees them, recording every
// call as one line of text. Calls are only legal on `uiThread` (any thread
// when none is given).
class RecordingUi final : public WorkerUi {
public:
    RecordingUi() = default;
    explicit RecordingUi(std::thread::id uiThread) : uiThread_(uiThread), checked_(true) {}

    void AddRow(const std::string& source, const std::string& target) { rows.push_back({source, target, "", ""}); }
    std::vector<std::string> Statuses() const;
    // The events without the bar steps of FinishProgress ("bar=N", N > 0).
    std::vector<std::string> EventsWithoutSteps() const;
    int Count(const std::string& event) const;

    void StartProgressTimer() override { Record("timer on"); }
    void StopProgressTimer() override { Record("timer off"); }
    void SetProgress(int position) override;
    int ProgressPosition() override;
    int ProgressMax() override;
    void RedrawMainWindow() override { Record("redraw"); }
    // "progress N" (N = -1: no share); the line goes to statusLines.
    void ShowEncoderProgress(int position, const std::string& statusLine) override;
    int RowCount() override;
    bool ReadRow(int position, ConversionJob& job) override;
    void SelectRow(int position) override;
    void SetStatus(int position, const std::string& status) override;
    void SetFailureReason(int position, const std::string& reason) override;
    // Kept in the row's LogPath; no event.
    void SetLogPath(int position, const std::string& path) override;
    // "message"; its text goes to finishedMessage.
    void ShowFinishedMessage(const std::string& text) override;
    void SetCancelButtonToClose() override { Record("close caption"); }

    std::vector<ConversionJob> rows;
    std::vector<std::string> events;
    std::vector<std::string> statusLines;  // every status line shown, in order
    std::string finishedMessage;
    int bar = 0;
    int barMax = 2000;
    bool barStuck = false;      // SetProgress has no effect
    int selectedCurrentJob = -1;  // CurrentJob as seen when the last row was selected
    bool offThread = false;     // a call arrived on another thread
    // Runs after each event is recorded, on the calling thread.
    std::function<void(const std::string& event)> onEvent;

private:
    void Record(const std::string& event);
    void CheckThread();
    std::thread::id uiThread_;
    bool checked_ = false;
};

// What one start of the encoder does.
struct FakeRunPlan {
    FakeRunPlan(bool startFails = false, uint32_t exitCode = 0, bool runsUntilKilled = false)
        : startFails(startFails), exitCode(exitCode), runsUntilKilled(runsUntilKilled) {}
    bool startFails = false;
    uint32_t exitCode = 0;
    bool runsUntilKilled = false;
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
    // Keeps `outputFile` in outputFiles, then as Start.
    std::unique_ptr<EncoderRun> StartWithOutput(const std::string& commandLine, const BeforeRun& beforeRun,
                                                const std::string& outputFile) override;
    std::vector<std::string> outputFiles;  // written on the worker thread; read after the batch
    std::unique_ptr<ProgressReader> Create(uint32_t processId) override;
    int64_t NowMs();
    int Polls();  // WaitFor calls on every run
    std::vector<std::string> CommandLines();
    int Starts();
    int Terminations();   // Terminate calls that reached a process
    int LiveRuns();       // processes whose handle is still held

private:
    friend class FakeRun;
    friend class FakeReader;
    struct Script {
        FakeRunPlan plan;
        size_t reads = 0;
    };
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> commandLines_;
    std::map<uint32_t, std::shared_ptr<Script>> scripts_;  // by process id
    int terminations_ = 0;
    int live_ = 0;
    int polls_ = 0;
    int64_t nowMs_ = 0;
};

// The taskbar and the keep-awake hold, recorded as events of `ui` beside
// its own ("awake", "taskbar C/T", "taskbar clear", "asleep"). Called on the
// worker thread while the UI thread is idle in between hand-offs.
class RecordingIndicators final : public TaskbarProgress, public KeepAwake {
public:
    explicit RecordingIndicators(RecordingUi& ui) : ui_(ui) {}
    void SetValue(uint64_t completed, uint64_t total) override;
    void Clear() override { ui_.events.push_back("taskbar clear"); }
    void Hold() override { ui_.events.push_back("awake"); }
    void Release() override { ui_.events.push_back("asleep"); }

private:
    RecordingUi& ui_;
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
