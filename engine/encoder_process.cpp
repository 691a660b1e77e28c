#include "encoder_process.h"

EncoderProcessSlot EncoderProcess;

std::shared_ptr<EncoderRun> EncoderProcessSlot::Start(ProcessLauncher& launcher, const std::string& commandLine,
                                                      const BeforeRun& beforeRun, const std::atomic<bool>& stop,
                                                      bool& stopped, const std::string& outputFile) {
    // Held across the start (a couple of hundred milliseconds at most): a
    // cancel arriving meanwhile waits and then kills the new process.
    std::lock_guard<std::mutex> lock(mutex_);
    stopped = stop.load();
    if (stopped) return nullptr;
    current_ = launcher.StartWithOutput(commandLine, beforeRun, outputFile);
    return current_;
}

void EncoderProcessSlot::Terminate() {
    std::lock_guard<std::mutex> lock(mutex_);
    if (current_) current_->Terminate();
}

void EncoderProcessSlot::Release(const std::shared_ptr<EncoderRun>& run) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (run && current_ == run) current_.reset();
}

bool EncoderProcessSlot::Empty() {
    std::lock_guard<std::mutex> lock(mutex_);
    return !current_;
}
