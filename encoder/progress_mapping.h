#pragma once
// The shared memory that holds the progress record, made the platform's
// way: a named file mapping on the paging file (Windows), a POSIX shared
// memory object (elsewhere). A record made here starts out zero-filled.
#include <memory>
#include <string>

#include "trancor_progress.h"

class ProgressMapping {
public:
    // Creates (or takes over) the record named `name` and maps it; null
    // when the system refuses, which leaves the encoder unpublished. The
    // name goes with the mapping.
    static std::unique_ptr<ProgressMapping> Create(const std::string& name);
    // Maps the record its front end created under `name` (UTF-8); null when
    // there is none of the record's size. The name stays its creator's.
    static std::unique_ptr<ProgressMapping> Open(const std::string& name);
    static unsigned long ProcessId();

    // Unmaps; a name this mapping made goes with the last handle (Windows)
    // or now (POSIX: readers that mapped it keep their view).
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
