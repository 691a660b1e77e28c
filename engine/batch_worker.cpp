#include "batch_worker.h"

#include <algorithm>
#include <chrono>

#include "encoder_command.h"
#include "failure_text.h"
#include "progress_text.h"
#include "trancor_files.h"

enum class EncoderOutcome {
    Succeeded,  // started and exited with code 0 (a cancelled run ends so too)
    Failed,     // could not be started, or exited with another code
    Stopped,    // not started: the batch was already cancelled
};

struct BatchWorker::RunResult {
    EncoderOutcome outcome = EncoderOutcome::Failed;
    std::string reason;  // for Failed: why, in Chinese, in the system code page
    std::string detail = {};  // the encoder's own words (UTF-8), for the log
    bool exitCodeKnown = false;
    uint32_t exitCode = 0;
    trancor::FailureReason code = trancor::FailureReason::None;
    std::string logPath = {};
};

BatchWorker::BatchWorker(BatchSetup setup, const WorkerServices& services, std::function<void()> changed)
    : setup_(std::move(setup)), services_(services), changed_(std::move(changed)) {
    if (!services_.sleep)
        services_.sleep = [](int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); };
    if (!services_.clock)
        services_.clock = [] {
            return static_cast<int64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                            std::chrono::steady_clock::now().time_since_epoch())
                                            .count());
        };
    for (const ConversionJob& job : setup_.rows) rows_.emplace_back(job);
}

BatchWorker::~BatchWorker() { WaitFor(); }

void BatchWorker::Resume() {
    std::lock_guard<std::mutex> lock(threadMutex_);
    if (thread_.joinable() || finished_) return;
    thread_ = std::thread([this] {
        // Nothing may unwind out of a thread entry: a batch that cannot go
        // on (no thread for a row) stops as a cancel does.
        try {
            Execute();
        } catch (...) {
            Cancel();
            for (auto& runner : runners_) runner.second.join();
            runners_.clear();
            KeepAwake(false);
            std::lock_guard<std::mutex> ended(mutex_);
            ended_ = true;
        }
        Notify();
        finished_ = true;
    });
}

void BatchWorker::WaitFor() {
    std::lock_guard<std::mutex> lock(threadMutex_);
    if (!thread_.joinable() || thread_.get_id() == std::this_thread::get_id()) return;
    thread_.join();
}

void BatchWorker::Cancel() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;  // before the kill: a row starting meanwhile sees it (EncoderRuns::Start)
        paused_ = false;
    }
    runs_.TerminateAll();
    wake_.notify_all();
    Notify();
}

void BatchWorker::Pause() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (paused_ || ended_ || stop_) return;
        paused_ = true;
        pausedSinceMs_ = services_.clock();
    }
    runs_.SuspendAll();
    wake_.notify_all();
    Notify();
}

void BatchWorker::Continue() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!paused_) return;
        paused_ = false;
        pausedMs_ += services_.clock() - pausedSinceMs_;
    }
    runs_.ResumeAll();
    wake_.notify_all();
    Notify();
}

void BatchWorker::AddRows(const std::vector<ConversionJob>& rows) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (ended_ || stop_) return;
        for (const ConversionJob& job : rows) rows_.emplace_back(job);
    }
    wake_.notify_all();
}

void BatchWorker::Notify() const {
    if (changed_) changed_();
}

int64_t BatchWorker::NowLocked() const {
    const int64_t now = services_.clock();
    return now - pausedMs_ - (paused_ ? now - pausedSinceMs_ : 0);
}

void BatchWorker::KeepAwake(bool hold) {
    if (!services_.keepAwake) return;
    try {
        if (hold)
            services_.keepAwake->Hold();
        else
            services_.keepAwake->Release();
    } catch (...) {
    }
}

// --- the scheduler ------------------------------------------------------------

void BatchWorker::Execute() {
    KeepAwake(true);
    bool holding = true;
    std::unique_lock<std::mutex> lock(mutex_);
    startedMs_ = NowLocked();
    size_t next = 0;
    for (;;) {
        if (!endedRunners_.empty()) {
            std::vector<size_t> ended;
            ended.swap(endedRunners_);
            lock.unlock();
            for (size_t index : ended) {
                runners_[index].join();
                runners_.erase(index);
            }
            lock.lock();
        }
        bool started = false;
        while (!stop_ && !paused_ && running_ < setup_.rowsAtOnce && next < rows_.size()) {
            StartRowLocked(next++);
            started = true;
        }
        if (running_ == 0 && (stop_ || next >= rows_.size())) break;
        // The system may sleep while nothing converts.
        const bool awake = !paused_ && !stop_;
        if (started || awake != holding) {
            lock.unlock();
            if (awake != holding) KeepAwake(awake);
            holding = awake;
            if (started) Notify();
            lock.lock();
            continue;
        }
        wake_.wait_for(lock, std::chrono::milliseconds(kPollMilliseconds));
    }
    const bool completed = !stop_;
    lock.unlock();
    for (auto& runner : runners_) runner.second.join();
    runners_.clear();
    // Let go before the end message, which may wait a long time for the user.
    if (holding) KeepAwake(false);
    lock.lock();
    completed_ = completed;
    ended_ = true;
}

void BatchWorker::StartRowLocked(size_t index) {
    Row& row = rows_[index];
    row.running = true;
    row.state = RowState{StatusProcessing(), ""};
    row.bar = 0;
    row.startedMs = NowLocked();
    ++running_;
    selected_ = static_cast<int>(index);
    runners_.emplace(index, std::thread([this, index] { RunRow(index); }));
}

// --- one row --------------------------------------------------------------------

void BatchWorker::RunRow(size_t index) {
    ConversionJob job;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        job = rows_[index].job;
    }
    RunResult result{EncoderOutcome::Failed, StartFailedReasonText()};
    try {
        result = Run(index, job);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            rows_[index].reportLine.clear();  // the encoder is gone: its line goes with it
        }
        // One row at a time, a finished row runs the bar to its end; a failed
        // one leaves it where its encoder left it.
        if (result.outcome == EncoderOutcome::Succeeded && setup_.rowsAtOnce == 1 && !stop_) {
            int from = 0;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                from = rows_[index].bar;
            }
            FinishProgress(
                from,
                [this, index](int position) {
                    {
                        std::lock_guard<std::mutex> lock(mutex_);
                        rows_[index].bar = position;
                    }
                    Notify();
                    return !stop_.load();
                },
                services_.sleep);
        }
        if (stop_ && result.outcome != EncoderOutcome::Stopped) RemoveUnfinishedFiles(job.Target);
        // The encoder removes its unfinished file itself; a full disk may
        // have refused even that, so it is tried once more here.
        else if (result.code == trancor::FailureReason::DiskFull) RemoveUnfinishedFiles(job.Target);
    } catch (...) {
    }
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Row& row = rows_[index];
        row.running = false;
        row.done = true;
        row.state.logPath = result.logPath;
        --running_;
        if (stop_) {
            row.state.status = StatusAbandoned();
        } else if (result.outcome == EncoderOutcome::Succeeded) {
            row.state.status = StatusDone();
            row.bar = kProgressBarMax;
        } else {
            ++failed_;
            row.state = RowState{StatusFailed(), result.reason, result.logPath};
        }
        endedRunners_.push_back(index);
    }
    wake_.notify_all();
    Notify();
}

BatchWorker::RunResult BatchWorker::Run(size_t index, const ConversionJob& job) {
    const std::string commandLine = BuildEncoderCommand(job, setup_.settings, setup_.encoderPath);
    const std::string logPath = services_.logs ? services_.logs->Begin(job.Target, commandLine) : "";
    RunResult result = RunLogged(index, commandLine, logPath);
    result.logPath = logPath;
    if (!logPath.empty()) {
        RunLogEnd end;
        end.exitCodeKnown = result.exitCodeKnown;
        end.exitCode = result.exitCode;
        end.reason = result.reason;
        end.detail = result.detail;
        services_.logs->End(logPath, end);
    }
    return result;
}

BatchWorker::RunResult BatchWorker::RunLogged(size_t index, const std::string& commandLine,
                                              const std::string& logPath) {
    bool stopped = false;
    // The record is made before the encoder runs and held until the row is
    // done, so the encoder's last word is there however quickly it ends.
    std::unique_ptr<ProgressReader> reader;
    const BeforeRun makeRecord = [&](uint32_t processId) {
        if (services_.progress) reader = services_.progress->Create(processId);
    };
    std::shared_ptr<EncoderRun> run;
    {
        // Encoders start one after the other, in list order.
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return nextLaunch_ == index; });
        }
        struct PassTheTurn {
            BatchWorker& batch;
            ~PassTheTurn() {
                {
                    std::lock_guard<std::mutex> lock(batch.mutex_);
                    ++batch.nextLaunch_;
                }
                batch.wake_.notify_all();
            }
        } passTheTurn{*this};
        if (services_.launcher)
            run = runs_.Start(*services_.launcher, commandLine, makeRecord, stop_, stopped, logPath);
    }
    if (stopped) return {EncoderOutcome::Stopped, ""};
    // Without an encoder where InstallEncoder looked, the row says so and where.
    if (!run)
        return {EncoderOutcome::Failed, setup_.encoderNotFoundAt.empty()
                                            ? StartFailedReasonText()
                                            : EncoderMissingReasonText(setup_.encoderNotFoundAt)};
    RunResult result = Follow(index, *run, reader.get());
    runs_.Release(run);
    return result;
}

BatchWorker::RunResult BatchWorker::Follow(size_t index, EncoderRun& run, ProgressReader* reader) {
    // An encoder that publishes nothing leaves the bar to time, as it
    // always was.
    trancor::ProgressSnapshot report;
    bool reported = false;
    auto take = [&] {
        trancor::ProgressSnapshot copy;
        if (!reader || !reader->Read(copy)) return;
        report = copy;
        reported = true;
        std::lock_guard<std::mutex> lock(mutex_);
        TakeReport(index, report);
    };
    bool exited = false;
    while (!exited) {
        take();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            Tick(index);
        }
        Notify();
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
    if (reported && (!result.exitCodeKnown || report.state == trancor::RunState::Failed)) {
        result.code = report.reason;
        result.reason = EncoderReasonText(report.reason);
    } else if (result.exitCodeKnown) {
        result.reason = ExitCodeReasonText(code);
    }
    return result;
}

void BatchWorker::TakeReport(size_t index, const trancor::ProgressSnapshot& report) {
    Row& row = rows_[index];
    if (report.duration_us > 0) row.durationUs = report.duration_us;
    const int bar = BarPositionFor(report.done_us, report.duration_us);
    // Within a row the bar never goes back, even when the encoder corrects
    // the source's length.
    if (bar >= 0) {
        row.barFromReports = true;
        row.bar = std::max(row.bar, bar);
    }
    RowProgress progress;
    progress.doneUs = report.done_us;
    progress.durationUs = report.duration_us;
    progress.elapsedMs = NowLocked() - row.startedMs;
    progress.row = static_cast<int>(index);
    progress.rows = static_cast<int>(rows_.size());
    row.reportLine = StatusLineText(progress);
}

void BatchWorker::Tick(size_t index) {
    Row& row = rows_[index];
    const int64_t elapsedMs = NowLocked() - row.startedMs;
    // One unit per second while the encoder reports no share.
    if (!row.barFromReports) row.bar = std::max(row.bar, static_cast<int>(std::min<int64_t>(elapsedMs / 1000, kProgressBarMax)));
    if (elapsedMs < 1000) return;
    // The caption names the first running row, once it has run a second.
    for (size_t i = 0; i < index; ++i)
        if (rows_[i].running) return;
    caption_ = FileNameOf(row.job.Source) + " >> " + FileNameOf(row.job.Target);
}

void BatchWorker::RemoveUnfinishedFiles(const std::string& target) {
    if (!services_.files) return;
    // A killed encoder leaves its staged files behind; the targets themselves
    // are never touched.
    services_.files->RemoveFile(trancor::StagedPathFor(target));
    services_.files->RemoveFile(trancor::StagedPathFor(trancor::ThumbnailPathFor(target)));
}

// --- what the windows see ---------------------------------------------------------

int BatchWorker::BatchBarLocked() const {
    // Rows weigh by their length where the encoder told it, the others as
    // much as the average of those known.
    double known = 0;
    int knownRows = 0;
    for (const Row& row : rows_)
        if (row.durationUs > 0) {
            known += static_cast<double>(row.durationUs);
            ++knownRows;
        }
    const double fallback = knownRows > 0 ? known / knownRows : 1.0;
    double total = 0, done = 0;
    for (const Row& row : rows_) {
        const double weight = row.durationUs > 0 ? static_cast<double>(row.durationUs) : fallback;
        total += weight;
        if (row.done)
            done += weight;
        else if (row.running)
            done += weight * row.bar / kProgressBarMax;
    }
    return total > 0 ? static_cast<int>(done / total * kProgressBarMax) : 0;
}

BatchView BatchWorker::View() const {
    std::lock_guard<std::mutex> lock(mutex_);
    BatchView view;
    const bool sideBySide = setup_.rowsAtOnce > 1;
    view.rows.reserve(rows_.size());
    for (const Row& row : rows_) {
        view.rows.push_back(row.state);
        if (row.running && sideBySide) view.rows.back().status = RunningStatusText(row.barFromReports ? row.bar : -1);
    }
    view.caption = caption_;
    view.selectedRow = selected_;
    view.runningRows = running_;
    view.paused = paused_;
    if (!sideBySide) {
        // One row at a time: the bar and the line are that row's, as they always were.
        if (selected_ >= 0) {
            const Row& row = rows_[static_cast<size_t>(selected_)];
            view.bar = row.bar;
            if (row.running) view.statusLine = row.reportLine;
        }
    } else {
        view.bar = BatchBarLocked();
        if (running_ > 0) view.statusLine = BatchStatusLineText(view.bar, running_, NowLocked() - startedMs_);
    }
    if (paused_) view.statusLine = PausedStatusLineText();
    view.finished = completed_;
    if (completed_) view.finishedMessage = FinishedMessageText(failed_);
    view.ended = ended_;
    return view;
}
