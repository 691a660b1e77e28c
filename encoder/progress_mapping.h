#pragma once
// The shared memory that holds the progress record, made the platform's
// way: a named file mapping on the paging file (Windows), a POSIX shared
// memory object (elsewhere). Both start out zero-filled.
#include <memory>
#include <string>

#include "trancor_progress.h"

class ProgressMapping {
public:
    // Creates (or takes over) the record named `name` and maps it; null
    // when the system refuses, which leaves the encoder unpublished.
    static std::unique_ptr<ProgressMapping> Create(const std::string& name);
    // "Local\trancor-progress-<pid>" or "/trancor-progress-<pid>".
    static std::string NameFor(unsigned long pid);
    static unsigned long ProcessId();

    // Unmaps; the name goes with the last handle (Windows) or is removed
    // now (POSIX: readers that mapped it keep their view).
    ~ProgressMapping();
    ProgressMapping(const ProgressMapping&) = delete;
    ProgressMapping& operator=(const ProgressMapping&) = delete;

    trancor::ProgressRecord* record() const { return record_; }

private:
    struct Handles;  // the platform's handles, released in this order: view, then name
    ProgressMapping(std::unique_ptr<Handles> handles, trancor::ProgressRecord* record);

    std::unique_ptr<Handles> handles_;
    trancor::ProgressRecord* record_;
};
