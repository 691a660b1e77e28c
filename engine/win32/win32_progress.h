#pragma once
// The encoder's progress record on Windows: the named section
// "Local\trancor-progress-<pid>", mapped read-write (the reader's one write
// is the attached mark).
#include "../encoder_progress.h"

class Win32ProgressChannel final : public ProgressChannel {
public:
    std::unique_ptr<ProgressReader> Open(uint32_t processId) override;
};
