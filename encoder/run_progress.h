#pragma once
// One run's progress, told to everyone who may be watching: the record a
// front end reads, and the line on a terminal.
#include <mutex>
#include <string>

#include "failure.h"
#include "progress_line.h"
#include "progress_publisher.h"
#include "progress_sink.h"

class RunProgress : public ProgressSink {
public:
    // Publishes the record at once, so that even a refused command line is
    // reported through it: the one its front end named, else one of its own
    // under the process id (ProgressPublisher).
    explicit RunProgress(const std::string& recordName);

    // False when the record could not be mapped (or none of that name exists).
    bool publishing() const { return publisher_.publishing(); }

    void SetDuration(int64_t duration_us) override;
    void Advance(int64_t done_us, int64_t frames) override;

    // The end of the run. Call Failed before printing the failure's line:
    // it ends the terminal's progress line first.
    void Succeeded();
    void Failed(FailureReason reason, const std::string& message);

private:
    ProgressPublisher publisher_;
    std::mutex line_mutex_;
    ProgressLine line_;
};
