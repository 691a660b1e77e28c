#include "encoder_process.h"

#include <algorithm>

std::shared_ptr<EncoderRun> EncoderRuns::Start(ProcessLauncher& launcher, const std::string& commandLine,
                                               const BeforeRun& beforeRun, const std::atomic<bool>& stop,
                                               bool& stopped, const std::string& outputFile) {
    // Held across the start (a couple of hundred milliseconds at most): a
    // cancel or a pause arriving meanwhile waits and then reaches the new
    // process too.
    std::lock_guard<std::mutex> lock(mutex_);
    stopped = stop.load();
    if (stopped) return nullptr;
    std::shared_ptr<EncoderRun> run = launcher.StartWithOutput(commandLine, beforeRun, outputFile);
    if (!run) return nullptr;
    if (suspended_) run->Suspend();
    running_.push_back(run);
    return run;
}

void EncoderRuns::TerminateAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& run : running_) run->Terminate();
}

void EncoderRuns::SuspendAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (suspended_) return;
    suspended_ = true;
    for (const auto& run : running_) run->Suspend();
}

void EncoderRuns::ResumeAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!suspended_) return;
    suspended_ = false;
    for (const auto& run : running_) run->Resume();
}

void EncoderRuns::Release(const std::shared_ptr<EncoderRun>& run) {
    std::lock_guard<std::mutex> lock(mutex_);
    running_.erase(std::remove(running_.begin(), running_.end(), run), running_.end());
}

int EncoderRuns::Count() {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<int>(running_.size());
}
