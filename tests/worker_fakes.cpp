#include "worker_fakes.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <exception>

#include "batch_worker.h"

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

bool FakeLauncher::Script::Ended() const {
    if (killed) return true;
    if (suspends > 0) return false;  // a held process does not get to its end
    if (plan.runsUntilKilled) return finished;
    return finished || reads >= plan.reports.size();
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
        owner_.changed_.wait(lock, [this] { return script_->Ended(); });
        script_->exited = true;
    }
    bool WaitFor(int milliseconds) override {
        std::unique_lock<std::mutex> lock(owner_.mutex_);
        ++owner_.polls_;
        if (owner_.changed_.wait_for(lock, std::chrono::milliseconds(milliseconds), [this] { return script_->Ended(); }))
            script_->exited = true;
        return script_->exited;
    }
    uint32_t ProcessId() override { return pid_; }
    void Terminate() override {
        std::lock_guard<std::mutex> lock(owner_.mutex_);
        if (script_->exited || script_->killed) return;  // as TerminateProcess on an ended process
        script_->killed = true;
        ++owner_.terminations_;
        owner_.changed_.notify_all();
    }
    bool ExitCode(uint32_t& code) override {
        std::lock_guard<std::mutex> lock(owner_.mutex_);
        if (!script_->exited) return false;
        code = script_->killed ? 0 : script_->plan.exitCode;
        return true;
    }
    void Suspend() override {
        std::lock_guard<std::mutex> lock(owner_.mutex_);
        ++script_->suspends;
    }
    void Resume() override {
        std::lock_guard<std::mutex> lock(owner_.mutex_);
        if (script_->suspends > 0) --script_->suspends;
        owner_.changed_.notify_all();
    }

private:
    FakeLauncher& owner_;
    std::shared_ptr<FakeLauncher::Script> script_;
    uint32_t pid_;
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
        started_.push_back(script);
        if (script->plan.startFails) {
            script->exited = true;
            return nullptr;
        }
        ++live_;
        pid = 1000 + static_cast<uint32_t>(index);
        scripts_[pid] = script;
        mostRunning_ = std::max(mostRunning_, RunningLocked());
    }
    if (beforeRun) beforeRun(pid);  // the process is held until it returns
    std::lock_guard<std::mutex> lock(mutex_);
    return std::make_unique<FakeRun>(*this, script, pid);
}

std::unique_ptr<EncoderRun> FakeLauncher::StartWithOutput(const std::string& commandLine,
                                                          const BeforeRun& beforeRun, const std::string& outputFile) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        outputFiles_.push_back(outputFile);
    }
    return Start(commandLine, beforeRun);
}

std::vector<std::string> FakeLauncher::OutputFiles() {
    std::lock_guard<std::mutex> lock(mutex_);
    return outputFiles_;
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

void RecordingKeepAwake::Record(const std::string& event) {
    std::lock_guard<std::mutex> lock(mutex_);
    events_.push_back(event);
}

std::vector<std::string> RecordingKeepAwake::Events() {
    std::lock_guard<std::mutex> lock(mutex_);
    return events_;
}

int FakeLauncher::RunningLocked() const {
    int running = 0;
    for (const auto& script : started_)
        if (!script->exited) ++running;
    return running;
}

void FakeLauncher::Finish(int start) {
    std::lock_guard<std::mutex> lock(mutex_);
    started_.at(static_cast<size_t>(start))->finished = true;
    changed_.notify_all();
}

int FakeLauncher::Running() {
    std::lock_guard<std::mutex> lock(mutex_);
    return RunningLocked();
}

int FakeLauncher::MostRunning() {
    std::lock_guard<std::mutex> lock(mutex_);
    return mostRunning_;
}

int FakeLauncher::Suspended() {
    std::lock_guard<std::mutex> lock(mutex_);
    int held = 0;
    for (const auto& script : started_)
        if (script->suspends > 0) ++held;
    return held;
}

void FakeLauncher::AdvanceClock(int64_t ms) {
    std::lock_guard<std::mutex> lock(mutex_);
    nowMs_ += ms;
}

bool FakeLauncher::WaitUntil(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
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
