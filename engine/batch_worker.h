#pragma once
// The conversion worker: one batch, converting up to a number of rows at
// once in list order, each row's encoder followed on a thread of its own.
// It publishes what it does (batch_state.h) and calls `changed` whenever
// that moved on - from any of its threads, never under its lock, so it may
// call View but must not block; it never touches a window or waits for one.
//
// The main window:
//   Start button:  if (worker_) worker_->WaitFor();   // a cancelled batch may still finish a row
//                  worker_ = std::make_unique<BatchWorker>(setup, services, postChanged);
//                  worker_->Resume();
//   Its timer and the "changed" message: show worker_->View().
//   Cancel, pause: worker_->Cancel(), Pause(), Continue().
//   Program's end: if (worker_) { worker_->Cancel(); worker_.reset(); }   // the destructor waits
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "batch_indicators.h"
#include "batch_state.h"
#include "conversion_settings.h"
#include "encoder_process.h"
#include "encoder_progress.h"
#include "finish_progress.h"
#include "job_list.h"
#include "run_log.h"
#include "system_files.h"

// A monotonic clock in milliseconds.
using ClockFunction = std::function<int64_t()>;

// What the worker needs of the operating system. The program takes
// SystemWorkerServices() (engine/win32/system_services.h); tests pass
// fakes. Without a launcher every run fails; without a sleep or a clock
// the standard ones are used; the others may be missing.
struct WorkerServices {
    ProcessLauncher* launcher = nullptr;  // starts the encoder
    SystemFiles* files = nullptr;         // removes what a cancelled run left behind
    SleepFunction sleep;                  // the pauses of FinishProgress
    ProgressChannel* progress = nullptr;  // what the encoder publishes while it runs
    KeepAwake* keepAwake = nullptr;       // no sleep while a batch runs (and is not paused)
    ClockFunction clock;                  // times the estimates
    RunLogBook* logs = nullptr;           // a log per row's run; none without
};

// What a batch works with, fixed at Start: the settings dialog and the list
// may change meanwhile.
struct BatchSetup {
    std::vector<ConversionJob> rows;
    ConversionSettings settings;
    std::string encoderPath;
    std::vector<std::string> encoderNotFoundAt;  // where InstallEncoder looked in vain
    int rowsAtOnce = 1;                          // RowsAtOnce (conversion_settings.h)
};

class BatchWorker {
public:
    // Created idle: nothing runs before Resume. The services must outlive
    // the worker.
    BatchWorker(BatchSetup setup, const WorkerServices& services, std::function<void()> changed = {});
    // Waits for the batch to end (see WaitFor); does not cancel it.
    ~BatchWorker();
    BatchWorker(const BatchWorker&) = delete;
    BatchWorker& operator=(const BatchWorker&) = delete;

    // Starts the batch; later calls do nothing.
    void Resume();
    // Stops every running encoder and starts no more rows: the running rows
    // end "放弃", the waiting ones keep "". Returns at once.
    void Cancel();
    bool Cancelled() const { return stop_; }
    // Holds every running encoder (and starts no new row) until Continue;
    // the estimates stop counting and the keep-awake hold is let go.
    void Pause();
    void Continue();
    // Rows the list gained while the batch runs join it at its end.
    void AddRows(const std::vector<ConversionJob>& rows);

    BatchView View() const;
    // True once the batch has ended and its threads are gone.
    bool Finished() const { return finished_; }
    // Returns once the batch has ended; at once when it never started.
    void WaitFor();

    // Encoder reports are read this often while a run lasts.
    static constexpr int kPollMilliseconds = 250;

private:
    struct Row {
        explicit Row(ConversionJob row) : job(std::move(row)) {}
        ConversionJob job;
        RowState state;
        bool running = false;
        bool done = false;
        int bar = 0;               // this row's share done
        bool barFromReports = false;
        int64_t durationUs = -1;   // the source's length, once the encoder said
        int64_t startedMs = 0;     // on the batch's clock
        std::string reportLine;    // the status line of its last report (one row at a time)
    };
    struct RunResult;

    void Execute();
    void StartRowLocked(size_t index);
    void RunRow(size_t index);
    // A row's run with its log (when the services keep logs).
    RunResult Run(size_t index, const ConversionJob& job);
    RunResult RunLogged(size_t index, const std::string& commandLine, const std::string& logPath);
    RunResult Follow(size_t index, EncoderRun& run, ProgressReader* reader);
    void TakeReport(size_t index, const trancor::ProgressSnapshot& report);
    // Once per poll: time stands in for the share while the encoder reports none.
    void Tick(size_t index);
    void RemoveUnfinishedFiles(const std::string& target);
    void KeepAwake(bool hold);
    void Notify() const;
    // The batch's clock: wall time without the paused spans.
    int64_t NowLocked() const;
    int BatchBarLocked() const;

    const BatchSetup setup_;
    WorkerServices services_;
    const std::function<void()> changed_;

    mutable std::mutex mutex_;  // guards everything below it up to the threads
    std::condition_variable wake_;  // the scheduler: a row ended, a cancel, a pause, rows added
    std::vector<Row> rows_;
    int running_ = 0;
    int failed_ = 0;
    int selected_ = -1;
    std::string caption_;
    bool paused_ = false;
    int64_t pausedSinceMs_ = 0;
    int64_t pausedMs_ = 0;
    int64_t startedMs_ = 0;
    bool completed_ = false;  // the end message is due
    bool ended_ = false;
    std::vector<size_t> endedRunners_;
    size_t nextLaunch_ = 0;  // the row whose encoder starts next

    EncoderRuns runs_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::map<size_t, std::thread> runners_;  // the scheduler's own
    std::mutex threadMutex_;  // guards thread_ between Resume and the waits
    std::thread thread_;
};
