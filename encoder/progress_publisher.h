#pragma once
// The encoder's side of the progress record (trancor_progress.h): it maps
// the record named after this process and writes it under the sequence
// lock. Publishing is best effort: when the record cannot be made, every
// call does nothing and the conversion goes on as before.
#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "progress_mapping.h"
#include "trancor_progress.h"

class ProgressPublisher {
public:
    // Creates and maps the record for this process's id.
    ProgressPublisher();
    // Writes into a record the caller owns (and keeps alive).
    explicit ProgressPublisher(trancor::ProgressRecord* record);
    ~ProgressPublisher();
    ProgressPublisher(const ProgressPublisher&) = delete;
    ProgressPublisher& operator=(const ProgressPublisher&) = delete;

    bool publishing() const { return record_ != nullptr; }

    // The source's length; -1 when unknown.
    void SetDuration(int64_t duration_us);
    // Media time and pictures written so far; a smaller time than one
    // published before is ignored, so readers only ever see it grow.
    void Advance(int64_t done_us, int64_t frames);
    // The final state. The message is cut to fit at a character boundary.
    void Succeed();
    void Fail(trancor::FailureReason reason, const std::string& message);
    // After a failure that no reader has seen: polls `reader_attached`
    // for at most `limit`, so a front end that has just started us can
    // still open the record and learn why.
    void WaitForReader(std::chrono::milliseconds limit) const;

private:
    void Reset();
    template <class Write>
    void Update(Write write);

    std::unique_ptr<ProgressMapping> mapping_;
    trancor::ProgressRecord* record_ = nullptr;
    std::mutex mutex_;  // one writer at a time (the encoding thread, then the main one)
    bool failed_ = false;
};
