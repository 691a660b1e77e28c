#pragma once
// The conversion worker: one batch on a thread of its own. It walks the rows
// in order, runs the encoder once per row and waits for it, and keeps the
// statuses and the progress window up to date through WorkerUi - every one
// of those calls is carried out on the UI thread (see marshalled_worker_ui.h).
//
// Lifecycle, as the main window uses it:
//   At creation:   UiDispatcher dispatcher;                           // on the UI thread (win32/ui_dispatcher.h)
//                  MarshalledWorkerUi workerUi(windowsUi, dispatcher);  // outlives every worker
//   Start button:  if (worker_) worker_->WaitFor();   // an earlier, cancelled worker may still finish its row
//                  worker_ = std::make_unique<BatchWorker>(workerUi, SystemWorkerServices(), dispatcher.NewEndSignal());
//                  worker_->Resume();
//   Cancel button: StopEncoder(worker_.get());
//   Program's end: if (worker_) { StopEncoder(worker_.get()); worker_.reset(); }   // the destructor waits
// Every wait for the thread goes through the WorkerEndSignal, so on the UI
// thread it keeps carrying out the worker's hand-offs and cannot deadlock.
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "batch_indicators.h"
#include "conversion_settings.h"
#include "encoder_process.h"
#include "encoder_progress.h"
#include "finish_progress.h"
#include "run_log.h"
#include "system_files.h"
#include "ui_thread.h"
#include "worker_ui.h"

// The position of the row being converted: written by the worker at the
// start of each row, read by the progress timer for the window's caption.
extern std::atomic<int> CurrentJob;

// A monotonic clock in milliseconds.
using ClockFunction = std::function<int64_t()>;

// What the worker needs of the operating system. The program takes
// SystemWorkerServices() (engine/win32/system_services.h) and adds its
// taskbar; tests pass fakes. Without a launcher every run fails; without a
// sleep or a clock the standard ones are used; the others may be missing.
struct WorkerServices {
    ProcessLauncher* launcher = nullptr;  // starts the encoder
    SystemFiles* files = nullptr;         // removes what a cancelled run left behind
    SleepFunction sleep;                  // the pauses of FinishProgress
    ProgressChannel* progress = nullptr;  // what the encoder publishes while it runs
    TaskbarProgress* taskbar = nullptr;   // the whole batch's progress on the taskbar
    KeepAwake* keepAwake = nullptr;       // no sleep while a batch runs
    ClockFunction clock;                  // times the status line's estimate
    RunLogBook* logs = nullptr;           // a log per row's run; none without
};

enum class EncoderOutcome {
    Succeeded,  // started and exited with code 0 (a cancelled run ends so too)
    Failed,     // could not be started, or exited with another code
    Stopped,    // not started: the stop flag was already set
};

class BatchWorker {
public:
    // Created suspended: nothing runs before Resume. `mainWindow` and the
    // services must outlive the worker. Without an end signal the waits
    // simply block (fine off the UI thread, e.g. in tests). The batch takes
    // a copy of Settings, EncoderPath and EncoderNotFoundAt here, at Start:
    // the settings dialog may change them while a cancelled worker finishes
    // its row.
    BatchWorker(WorkerUi& mainWindow, const WorkerServices& services,
                std::unique_ptr<WorkerEndSignal> endSignal = nullptr);
    // Waits for the thread to end (see WaitFor); does not set the stop flag.
    ~BatchWorker();
    BatchWorker(const BatchWorker&) = delete;
    BatchWorker& operator=(const BatchWorker&) = delete;

    // Starts the thread; later calls do nothing.
    void Resume();
    // Sets the stop flag; the worker notices it between its steps.
    void Terminate() { stop_ = true; }
    bool Terminated() const { return stop_; }
    // True once Execute has ended.
    bool Finished() const { return finished_; }
    // Returns once the thread has ended; at once when it never started.
    void WaitFor();

    // Starts the encoder hidden - unless the stop flag is already set - keeps
    // its process in EncoderProcess and returns once it has exited. Public
    // for the process tests.
    EncoderOutcome RunEncoder(const std::string& commandLine);

    // Encoder reports are read this often while a run lasts.
    static constexpr int kPollMilliseconds = 250;

private:
    struct RunResult {
        EncoderOutcome outcome = EncoderOutcome::Failed;
        std::string reason = {};  // for Failed: why, in Chinese, in the system code page
        std::string detail = {};  // the encoder's own words (UTF-8), for the log
        bool exitCodeKnown = false;
        uint32_t exitCode = 0;
        trancor::FailureReason code = trancor::FailureReason::None;
    };
    // Where the row being converted stands in the batch.
    struct RowPlace {
        int row = 0;
        int rows = 1;
    };
    // The taskbar and the keep-awake hold, begun and ended once per batch.
    class Indicators {
    public:
        explicit Indicators(const WorkerServices& services) : services_(services) {}
        void Begin();
        void Show(int row, int rows, int barPosition);
        void End() noexcept;

    private:
        const WorkerServices& services_;
        bool active_ = false;
        uint64_t shown_ = UINT64_MAX;  // the taskbar's value; not set twice
    };

    void ThreadMain();
    void Execute();
    std::shared_ptr<EncoderRun> Launch(const std::string& commandLine, const BeforeRun& beforeRun, bool& stopped,
                                       const std::string& logPath);
    RunResult Run(const std::string& commandLine, const RowPlace* place, const std::string& logPath = "");
    // Runs a row's encoder with its output in a new log, and ends the log.
    RunResult RunLogged(int position, const ConversionJob& job, const RowPlace& place);
    // Waits for `run` to end, reading its reports (when it has a record);
    // with a place, shows them.
    RunResult Follow(EncoderRun& run, ProgressReader* reader, const RowPlace* place);
    void ShowReport(const trancor::ProgressSnapshot& report, int64_t elapsedMs, const RowPlace& place);
    // After a cancelled run: the encoder's unfinished files for `target`.
    void RemoveUnfinishedFiles(const std::string& target);

    WorkerUi& ui_;
    WorkerServices services_;
    const ConversionSettings settings_;
    const std::string encoderPath_;
    const std::vector<std::string> encoderNotFoundAt_;  // where InstallEncoder looked in vain
    Indicators indicators_{services_};
    // The current row's reports as last shown (worker thread only).
    int shownBar_ = 0;
    std::string shownLine_;
    std::unique_ptr<WorkerEndSignal> end_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::mutex threadMutex_;  // guards thread_ between Resume and the waits
    std::thread thread_;
    std::shared_ptr<EncoderRun> lastRun_;  // worker thread only
};

// The cancel action: sets `worker`'s stop flag (when there is a worker) and
// then terminates the encoder process started last with exit code 0. Returns
// at once; the worker finishes the row itself.
void StopEncoder(BatchWorker* worker);
