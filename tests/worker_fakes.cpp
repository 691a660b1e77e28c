#include "worker_fakes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>

#include "batch_worker.h"

struct FakeUiThread::Pending {
    const std::function<void()>* call;
    bool done = false;
    bool ran = false;
    std::exception_ptr error;
};

bool FakeUiThread::Invoke(const std::function<void()>& call) {
    if (OnThisThread()) {
        call();
        return true;
    }
    Pending pending{&call, false, false, nullptr};
    std::unique_lock<std::mutex> lock(mutex_);
    if (closed_) return false;
    queue_.push_back(&pending);
    changed_.notify_all();
    changed_.wait(lock, [&] { return pending.done; });
    if (pending.error) std::rethrow_exception(pending.error);
    return pending.ran;
}

void FakeUiThread::PumpUntil(const std::function<bool()>& done) {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        while (!queue_.empty()) {
            Pending* pending = queue_.front();
            queue_.pop_front();
            lock.unlock();
            try {
                (*pending->call)();
            } catch (...) {
                pending->error = std::current_exception();
            }
            lock.lock();
            pending->ran = true;
            pending->done = true;
            changed_.notify_all();
        }
        lock.unlock();
        const bool finished = done();
        lock.lock();
        if (finished) return;
        // Woken by a new hand-off; the short period covers conditions that
        // change without one (a process started, a thread ended).
        changed_.wait_for(lock, std::chrono::milliseconds(2), [this] { return !queue_.empty(); });
    }
}

void FakeUiThread::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    for (Pending* pending : queue_) pending->done = true;
    queue_.clear();
    changed_.notify_all();
}

namespace {

class PumpingSignal final : public WorkerEndSignal {
public:
    explicit PumpingSignal(FakeUiThread& ui) : ui_(ui) {}
    void Raise() override {
        std::lock_guard<std::mutex> lock(mutex_);
        raised_ = true;
    }
    void Wait() override {
        ui_.PumpUntil([this] {
            std::lock_guard<std::mutex> lock(mutex_);
            return raised_;
        });
    }

private:
    FakeUiThread& ui_;
    std::mutex mutex_;
    bool raised_ = false;
};

}  // namespace

std::unique_ptr<WorkerEndSignal> FakeUiThread::NewEndSignal() { return std::make_unique<PumpingSignal>(*this); }

void RecordingUi::CheckThread() {
    if (checked_ && std::this_thread::get_id() != uiThread_) offThread = true;
}

void RecordingUi::Record(const std::string& event) {
    CheckThread();
    events.push_back(event);
    if (onEvent) onEvent(event);
}

std::vector<std::string> RecordingUi::Statuses() const {
    std::vector<std::string> out;
    for (const ConversionJob& row : rows) out.push_back(row.Status);
    return out;
}

std::vector<std::string> RecordingUi::EventsWithoutSteps() const {
    std::vector<std::string> out;
    std::copy_if(events.begin(), events.end(), std::back_inserter(out),
                 [](const std::string& e) { return e.rfind("bar=", 0) != 0 || e == "bar=0"; });
    return out;
}

int RecordingUi::Count(const std::string& event) const {
    return static_cast<int>(std::count(events.begin(), events.end(), event));
}

void RecordingUi::SetProgress(int position) {
    if (!barStuck) bar = std::clamp(position, 0, barMax);
    Record("bar=" + std::to_string(position));
}

int RecordingUi::ProgressPosition() {
    CheckThread();
    return bar;
}

int RecordingUi::ProgressMax() {
    CheckThread();
    return barMax;
}

int RecordingUi::RowCount() {
    CheckThread();
    return static_cast<int>(rows.size());
}

bool RecordingUi::ReadRow(int position, ConversionJob& job) {
    Record("read " + std::to_string(position));
    if (position < 0 || position >= static_cast<int>(rows.size())) return false;
    job = rows[static_cast<size_t>(position)];
    return true;
}

void RecordingUi::SelectRow(int position) {
    selectedCurrentJob = CurrentJob;
    Record("select " + std::to_string(position));
}

void RecordingUi::ShowEncoderProgress(int position, const std::string& statusLine) {
    if (position > bar) bar = std::min(position, barMax);
    statusLines.push_back(statusLine);
    Record("progress " + std::to_string(position));
}

void RecordingUi::SetFailureReason(int position, const std::string& reason) {
    if (position >= 0 && position < static_cast<int>(rows.size())) rows[static_cast<size_t>(position)].Reason = reason;
    Record("reason " + std::to_string(position) + " " + reason);
}

void RecordingUi::SetLogPath(int position, const std::string& path) {
    CheckThread();
    if (position >= 0 && position < static_cast<int>(rows.size())) rows[static_cast<size_t>(position)].LogPath = path;
}

void RecordingUi::ShowFinishedMessage(const std::string& text) {
    finishedMessage = text;
    Record("message");
}

void RecordingUi::SetStatus(int position, const std::string& status) {
    if (position >= 0 && position < static_cast<int>(rows.size())) rows[static_cast<size_t>(position)].Status = status;
    Record("status " + std::to_string(position) + " " + status);
}

trancor::ProgressSnapshot Report(int64_t doneUs, int64_t durationUs, trancor::RunState state,
                                 trancor::FailureReason reason, const char* message) {
    trancor::ProgressSnapshot report;
    report.state = state;
    report.done_us = doneUs;
    report.duration_us = durationUs;
    report.reason = reason;
    std::snprintf(report.message, sizeof report.message, "%s", message);
    return report;
}

class FakeRun final : public EncoderRun {
public:
    FakeRun(FakeLauncher& owner, std::shared_ptr<FakeLauncher::Script> script, uint32_t pid)
        : owner_(owner), script_(std::move(script)), pid_(pid) {}
    ~FakeRun() override {
        std::lock_guard<std::mutex> lock(owner_.mutex_);
        --owner_.live_;
    }
    void Wait() override {
        std::unique_lock<std::mutex> lock(owner_.mutex_);
        owner_.changed_.wait(lock, [this] { return Ended(); });
        exited_ = true;
    }
    bool WaitFor(int milliseconds) override {
        std::unique_lock<std::mutex> lock(owner_.mutex_);
        ++owner_.polls_;
        if (owner_.changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return Ended(); }))
            exited_ = true;
        return exited_;
    }
    uint32_t ProcessId() override { return pid_; }
    void Terminate() override {
        std::lock_guard<std::mutex> lock(owner_.mutex_);
        if (exited_ || killed_) return;  // as TerminateProcess on an ended process
        killed_ = true;
        ++owner_.terminations_;
        owner_.changed_.notify_all();
    }
    bool ExitCode(uint32_t& code) override {
        std::lock_guard<std::mutex> lock(owner_.mutex_);
        if (!exited_) return false;
        code = killed_ ? 0 : script_->plan.exitCode;
        return true;
    }

private:
    // Under the owner's lock.
    bool Ended() const {
        if (script_->plan.runsUntilKilled) return killed_;
        return killed_ || script_->reads >= script_->plan.reports.size();
    }

    FakeLauncher& owner_;
    std::shared_ptr<FakeLauncher::Script> script_;
    uint32_t pid_;
    bool killed_ = false;
    bool exited_ = false;
};

class FakeReader final : public ProgressReader {
public:
    FakeReader(FakeLauncher& owner, std::shared_ptr<FakeLauncher::Script> script)
        : owner_(owner), script_(std::move(script)) {}
    bool Read(trancor::ProgressSnapshot& out) override {
        std::lock_guard<std::mutex> lock(owner_.mutex_);
        const auto& reports = script_->plan.reports;
        out = reports[std::min(script_->reads, reports.size() - 1)];
        ++script_->reads;
        owner_.nowMs_ += script_->plan.msPerRead;
        owner_.changed_.notify_all();
        return true;
    }

private:
    FakeLauncher& owner_;
    std::shared_ptr<FakeLauncher::Script> script_;
};

std::unique_ptr<EncoderRun> FakeLauncher::Start(const std::string& commandLine, const BeforeRun& beforeRun) {
    std::shared_ptr<Script> script;
    uint32_t pid = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const size_t index = commandLines_.size();
        commandLines_.push_back(commandLine);
        script = std::make_shared<Script>();
        script->plan = index < plans.size() ? plans[index] : FakeRunPlan{};
        if (script->plan.startFails) return nullptr;
        ++live_;
        pid = 1000 + static_cast<uint32_t>(index);
        scripts_[pid] = script;
    }
    if (beforeRun) beforeRun(pid);  // the process is held until it returns
    std::lock_guard<std::mutex> lock(mutex_);
    return std::make_unique<FakeRun>(*this, script, pid);
}

std::unique_ptr<EncoderRun> FakeLauncher::StartWithOutput(const std::string& commandLine,
                                                          const BeforeRun& beforeRun, const std::string& outputFile) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        outputFiles.push_back(outputFile);
    }
    return Start(commandLine, beforeRun);
}

std::unique_ptr<ProgressReader> FakeLauncher::Create(uint32_t processId) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = scripts_.find(processId);
    if (found == scripts_.end() || found->second->plan.reports.empty()) return nullptr;
    return std::make_unique<FakeReader>(*this, found->second);
}

int64_t FakeLauncher::NowMs() {
    std::lock_guard<std::mutex> lock(mutex_);
    return nowMs_;
}

int FakeLauncher::Polls() {
    std::lock_guard<std::mutex> lock(mutex_);
    return polls_;
}

void RecordingIndicators::SetValue(uint64_t completed, uint64_t total) {
    ui_.events.push_back("taskbar " + std::to_string(completed) + "/" + std::to_string(total));
}

std::vector<std::string> FakeLauncher::CommandLines() {
    std::lock_guard<std::mutex> lock(mutex_);
    return commandLines_;
}

int FakeLauncher::Starts() {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(commandLines_.size());
}

int FakeLauncher::Terminations() {
    std::lock_guard<std::mutex> lock(mutex_);
    return terminations_;
}

int FakeLauncher::LiveRuns() {
    std::lock_guard<std::mutex> lock(mutex_);
    return live_;
}

bool FakeFiles::RenameNoReplace(const std::string& from, const std::string& to) {
    std::lock_guard<std::mutex> lock(mutex_);
    renames.push_back(from + ">" + to);
    auto source = files.find(from);
    if (source == files.end() || files.count(to)) return false;
    files[to] = source->second;
    files.erase(source);
    return true;
}

bool FakeFiles::FileExists(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    return files.count(path) > 0;
}

bool FakeFiles::RemoveFile(const std::string& path) {
    std::lock_guard<std::mutex> lock(mutex_);
    removals.push_back(path);
    return files.erase(path) > 0;
}
