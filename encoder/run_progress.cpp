#include "run_progress.h"

#include "console.h"

RunProgress::RunProgress(const std::string& recordName) : publisher_(recordName), line_(ErrorIsTerminal()) {}

void RunProgress::SetDuration(int64_t duration_us) {
    publisher_.SetDuration(duration_us);
    std::lock_guard<std::mutex> lock(line_mutex_);
    line_.SetDuration(duration_us);
}

void RunProgress::Advance(int64_t done_us, int64_t frames) {
    publisher_.Advance(done_us, frames);
    std::lock_guard<std::mutex> lock(line_mutex_);
    line_.Advance(done_us);
}

void RunProgress::Succeeded() {
    {
        std::lock_guard<std::mutex> lock(line_mutex_);
        line_.Finish(true);
    }
    publisher_.Succeed();
}

void RunProgress::Failed(FailureReason reason, const std::string& message) {
    {
        std::lock_guard<std::mutex> lock(line_mutex_);
        line_.Finish(false);
    }
    publisher_.Fail(reason, message);
}
