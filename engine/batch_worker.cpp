#include "batch_worker.h"

#include <chrono>
#include <condition_variable>

#include "encoder_command.h"
#include "failure_text.h"
#include "process_state.h"
#include "progress_text.h"
#include "trancor_files.h"

std::atomic<int> CurrentJob{0};

namespace {

// For a worker that is not waited for on the UI thread.
class BlockingEndSignal final : public WorkerEndSignal {
public:
    void Raise() override {
        std::lock_guard<std::mutex> lock(mutex_);
        raised_ = true;
        changed_.notify_all();
    }
    void Wait() override {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return raised_; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool raised_ = false;
};

}  // namespace

BatchWorker::BatchWorker(WorkerUi& mainWindow, const WorkerServices& services,
                         std::unique_ptr<WorkerEndSignal> endSignal)
    : ui_(mainWindow), services_(services), settings_(Settings), encoderPath_(EncoderPath),
      encoderNotFoundAt_(EncoderNotFoundAt), end_(std::move(endSignal)) {
    if (!end_) end_ = std::make_unique<BlockingEndSignal>();
    if (!services_.sleep)
        services_.sleep = [](int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); };
    if (!services_.clock)
        services_.clock = [] {
            return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            std::chrono::steady_clock::now().time_since_epoch())
                                            .count());
        };
}

BatchWorker::~BatchWorker() { WaitFor(); }

void BatchWorker::Resume() {
    std::lock_guard<std::mutex> lock(threadMutex_);
    if (thread_.joinable() || finished_) return;
    thread_ = std::thread([this] { ThreadMain(); });
}

void BatchWorker::WaitFor() {
    {
        std::lock_guard<std::mutex> lock(threadMutex_);
        if (!thread_.joinable()) return;
        if (thread_.get_id() == std::this_thread::get_id()) return;  // never from inside the worker
    }
    // Not under the lock: while it waits, the UI thread may run a nested
    // handler that waits for the same worker.
    end_->Wait();
    std::lock_guard<std::mutex> lock(threadMutex_);
    if (thread_.joinable()) thread_.join();  // returns at once: Raise was the thread's last act
}

void BatchWorker::ThreadMain() {
    // Nothing may unwind out of a thread entry.
    try {
        Execute();
    } catch (...) {
        // The batch ends here; at least leave the progress timer still.
        try {
            ui_.StopProgressTimer();
        } catch (...) {
        }
    }
    indicators_.End();
    EncoderProcess.Release(lastRun_);
    lastRun_.reset();
    finished_ = true;
    end_->Raise();
}

void BatchWorker::Indicators::Begin() {
    active_ = true;
    shown_ = UINT64_MAX;
    if (services_.keepAwake) services_.keepAwake->Hold();
}

void BatchWorker::Indicators::Show(int row, int rows, int barPosition) {
    if (!active_ || !services_.taskbar || rows <= 0) return;
    const uint64_t completed = static_cast<uint64_t>(row) * kProgressBarMax + static_cast<uint64_t>(barPosition);
    if (completed == shown_) return;
    shown_ = completed;
    services_.taskbar->SetValue(completed, static_cast<uint64_t>(rows) * kProgressBarMax);
}

void BatchWorker::Indicators::End() noexcept {
    if (!active_) return;
    active_ = false;
    try {
        if (services_.taskbar) services_.taskbar->Clear();
    } catch (...) {
    }
    try {
        if (services_.keepAwake) services_.keepAwake->Release();
    } catch (...) {
    }
}

std::shared_ptr<EncoderRun> BatchWorker::Launch(const std::string& commandLine, const BeforeRun& beforeRun,
                                                bool& stopped, const std::string& logPath) {
    stopped = false;
    if (!services_.launcher) return nullptr;
    std::shared_ptr<EncoderRun> run =
        EncoderProcess.Start(*services_.launcher, commandLine, beforeRun, stop_, stopped, logPath);
    // Keeps the handle open until the next start or the worker's end.
    if (!stopped) lastRun_ = run;
    return run;
}

EncoderOutcome BatchWorker::RunEncoder(const std::string& commandLine) { return Run(commandLine, nullptr).outcome; }

BatchWorker::RunResult BatchWorker::RunLogged(int position, const ConversionJob& job, const RowPlace& place) {
    const std::string commandLine = BuildEncoderCommand(job, settings_, encoderPath_);
    const std::string logPath = services_.logs ? services_.logs->Begin(job.Target, commandLine) : "";
    RunResult result = Run(commandLine, &place, logPath);
    if (logPath.empty()) return result;
    RunLogEnd end;
    end.exitCodeKnown = result.exitCodeKnown;
    end.exitCode = result.exitCode;
    end.reason = result.reason;
    end.detail = result.detail;
    services_.logs->End(logPath, end);
    ui_.SetLogPath(position, logPath);
    return result;
}

BatchWorker::RunResult BatchWorker::Run(const std::string& commandLine, const RowPlace* place,
                                        const std::string& logPath) {
    bool stopped = false;
    // The record is made before the encoder runs and held until the row is
    // done, so the encoder's last word is there however quickly it ends.
    std::unique_ptr<ProgressReader> reader;
    const BeforeRun makeRecord = [&](uint32_t processId) {
        if (services_.progress) reader = services_.progress->Create(processId);
    };
    std::shared_ptr<EncoderRun> run = Launch(commandLine, makeRecord, stopped, logPath);
    if (stopped) return {EncoderOutcome::Stopped, ""};
    // Without an encoder where InstallEncoder looked, the row says so and where.
    if (!run)
        return {EncoderOutcome::Failed,
                encoderNotFoundAt_.empty() ? StartFailedReasonText() : EncoderMissingReasonText(encoderNotFoundAt_)};
    return Follow(*run, reader.get(), place);
}

BatchWorker::RunResult BatchWorker::Follow(EncoderRun& run, ProgressReader* reader, const RowPlace* place) {
    const int64_t started = services_.clock();
    shownBar_ = 0;
    shownLine_.clear();
    // An encoder that publishes nothing leaves the bar to the timer, as it
    // always was.
    trancor::ProgressSnapshot report;
    bool reported = false;
    auto take = [&] {
        trancor::ProgressSnapshot copy;
        if (!reader || !reader->Read(copy)) return;
        report = copy;
        reported = true;
        if (place) ShowReport(report, services_.clock() - started, *place);
    };
    bool exited = false;
    while (!exited) {
        take();
        // Blocks in the system's wait, never spins; a cancel's kill ends it at once.
        exited = run.WaitFor(kPollMilliseconds);
    }
    // The record outlives its encoder (we made it): its last state tells how
    // the run ended.
    take();

    RunResult result;
    if (reported) result.detail = report.message;
    uint32_t code = 1;
    result.exitCodeKnown = run.ExitCode(code);
    result.exitCode = code;
    if (result.exitCodeKnown && code == 0) {
        result.outcome = EncoderOutcome::Succeeded;
        result.detail.clear();
        return result;
    }
    const bool encoderSaidWhy = reported && (!result.exitCodeKnown || report.state == trancor::RunState::Failed);
    if (encoderSaidWhy) {
        result.code = report.reason;
        result.reason = EncoderReasonText(report.reason);
    } else if (result.exitCodeKnown) {
        result.reason = ExitCodeReasonText(code);
    }
    return result;
}

void BatchWorker::ShowReport(const trancor::ProgressSnapshot& report, int64_t elapsedMs, const RowPlace& place) {
    RowProgress progress;
    progress.doneUs = report.done_us;
    progress.durationUs = report.duration_us;
    progress.elapsedMs = elapsedMs;
    progress.row = place.row;
    progress.rows = place.rows;
    int bar = BarPositionFor(report.done_us, report.duration_us);
    // Within a row the bar never goes back, even when the encoder corrects
    // the source's length.
    if (bar >= 0 && bar < shownBar_) bar = shownBar_;
    const std::string line = StatusLineText(progress);
    const bool barMoved = bar >= 0 && bar != shownBar_;
    if (!barMoved && line == shownLine_) return;
    ui_.ShowEncoderProgress(bar, line);
    shownLine_ = line;
    if (barMoved) {
        shownBar_ = bar;
        indicators_.Show(place.row, place.rows, bar);
    }
}

void BatchWorker::RemoveUnfinishedFiles(const std::string& target) {
    if (!services_.files) return;
    // A killed encoder leaves its staged files behind; the targets themselves
    // are never touched.
    services_.files->RemoveFile(trancor::StagedPathFor(target));
    services_.files->RemoveFile(trancor::StagedPathFor(trancor::ThumbnailPathFor(target)));
}

void BatchWorker::Execute() {
    indicators_.Begin();
    int position = 0;
    int failedRows = 0;
    int rows = 0;
    // The row count is read again before every row.
    while (position < (rows = ui_.RowCount())) {
        ui_.StartProgressTimer();
        CurrentJob = position;
        ui_.SetProgress(0);
        ui_.SelectRow(position);
        ConversionJob job;
        if (!ui_.ReadRow(position, job)) {
            // The row was removed after a cancel; there is nothing left to convert.
            ui_.StopProgressTimer();
            return;
        }
        ui_.SetStatus(position, StatusProcessing());
        indicators_.Show(position, rows, 0);

        // A cancel that fell between two rows: the next row is abandoned
        // without running its encoder.
        RunResult result{EncoderOutcome::Stopped, ""};
        const RowPlace place{position, rows};
        if (!Terminated()) result = RunLogged(position, job, place);
        ui_.StopProgressTimer();
        // A cancel takes the batch off the taskbar at once, not after the
        // row's last steps.
        if (Terminated()) indicators_.End();
        if (result.outcome == EncoderOutcome::Stopped) {
            ui_.SetStatus(position, StatusAbandoned());
            return;
        }

        // A finished row runs the bar to its end; a failed one leaves it
        // where its encoder left it, and the batch goes straight on.
        if (result.outcome == EncoderOutcome::Succeeded) FinishProgress(ui_, services_.sleep);
        if (result.outcome == EncoderOutcome::Succeeded) {
            ui_.SetStatus(position, StatusDone());
        } else {
            ++failedRows;
            // The encoder removes its unfinished file itself; a full disk
            // may have refused even that, so it is tried once more here.
            if (result.code == trancor::FailureReason::DiskFull) RemoveUnfinishedFiles(job.Target);
            ui_.SetFailureReason(position, result.reason);
            ui_.SetStatus(position, StatusFailed());
        }
        if (Terminated()) {
            RemoveUnfinishedFiles(job.Target);
            ui_.SetStatus(position, StatusAbandoned());
            return;
        }
        ++position;
        indicators_.Show(position, rows, 0);
    }
    // Released before the message, which may wait a long time for the user.
    indicators_.End();
    ui_.ShowFinishedMessage(FinishedMessageText(failedRows));
    ui_.SetCancelButtonToClose();
}

void StopEncoder(BatchWorker* worker) {
    if (worker) worker->Terminate();
    EncoderProcess.Terminate();
}
