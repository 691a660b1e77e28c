#pragma once
// The encoder's side of the progress record (trancor_progress.h): it maps
// the record and writes it under the sequence lock. Publishing is best
// effort: when the record cannot be mapped, every call does nothing and the
// conversion goes on as before.
#include <memory>
#include <mutex>
#include <string>

#include "progress_mapping.h"
#include "trancor_progress.h"

class ProgressPublisher {
public:
    // Maps the record the front end created and named `recordName`; without
    // a name, creates one under this process's id.
    explicit ProgressPublisher(const std::string& recordName = "");
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

private:
    void Reset();
    template <class Write>
    void Update(Write write);

    std::unique_ptr<ProgressMapping> mapping_;
    trancor::ProgressRecord* record_ = nullptr;
    std::mutex mutex_;  // one writer at a time (the encoding thread, then the main one)
};
