#include "test_thread.h"

#include <chrono>
#include <condition_variable>

#include "encoder_command.h"
#include "process_state.h"
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

TestThread::TestThread(WorkerUi& mainWindow, const WorkerServices& services,
                       std::unique_ptr<WorkerEndSignal> endSignal)
    : ui_(mainWindow), services_(services), end_(std::move(endSignal)) {
    if (!end_) end_ = std::make_unique<BlockingEndSignal>();
    if (!services_.sleep)
        services_.sleep = [](int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); };
}

TestThread::~TestThread() { WaitFor(); }

void TestThread::Resume() {
    std::lock_guard<std::mutex> lock(threadMutex_);
    if (thread_.joinable() || finished_) return;
    thread_ = std::thread([this] { ThreadMain(); });
}

void TestThread::WaitFor() {
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

void TestThread::ThreadMain() {
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
    EncoderProcess.Release(lastRun_);
    lastRun_.reset();
    finished_ = true;
    end_->Raise();
}

EncoderOutcome TestThread::RunEncoder(const std::string& commandLine) {
    if (!services_.launcher) return EncoderOutcome::Failed;
    bool stopped = false;
    std::shared_ptr<EncoderRun> run = EncoderProcess.Start(*services_.launcher, commandLine, stop_, stopped);
    if (stopped) return EncoderOutcome::Stopped;
    // Keeps the handle open until the next start or the worker's end.
    lastRun_ = run;
    if (!run) return EncoderOutcome::Failed;
    run->Wait();
    uint32_t code = 1;
    if (!run->ExitCode(code)) return EncoderOutcome::Failed;
    return code == 0 ? EncoderOutcome::Succeeded : EncoderOutcome::Failed;
}

void TestThread::RemoveUnfinishedFiles(const std::string& target) {
    if (!services_.files) return;
    // A killed encoder leaves its staged files behind; the targets themselves
    // are never touched.
    services_.files->RemoveFile(trancor::StagedPathFor(target));
    services_.files->RemoveFile(trancor::StagedPathFor(trancor::ThumbnailPathFor(target)));
}

void TestThread::Execute() {
    int position = 0;
    // The row count is read again before every row.
    while (position < ui_.RowCount()) {
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

        // A cancel that fell between two rows: the next row is abandoned
        // without running its encoder. Checked before the settings are read
        // too, as the settings dialog is usable again after a cancel.
        EncoderOutcome outcome = EncoderOutcome::Stopped;
        if (!Terminated()) outcome = RunEncoder(BuildEncoderCommand(job, Settings, EncoderPath));
        ui_.StopProgressTimer();
        if (outcome == EncoderOutcome::Stopped) {
            ui_.SetStatus(position, StatusAbandoned());
            return;
        }

        FinishProgress(ui_, services_.sleep);
        ui_.SetStatus(position, outcome == EncoderOutcome::Succeeded ? StatusDone() : StatusFailed());
        if (Terminated()) {
            RemoveUnfinishedFiles(job.Target);
            ui_.SetStatus(position, StatusAbandoned());
            return;
        }
        ++position;
    }
    ui_.ShowFinishedMessage();
    ui_.SetCancelButtonToClose();
}

void StopEncoder(TestThread* worker) {
    if (worker) worker->Terminate();
    EncoderProcess.Terminate();
}
