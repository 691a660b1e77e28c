#pragma once
// The encoder's progress record on Windows: the named section
// trancor::ProgressRecordName(pid), made by the worker while the encoder is
// held suspended, and mapped for reading.
#include "../encoder_progress.h"

class Win32ProgressChannel final : public ProgressChannel {
public:
    std::unique_ptr<ProgressReader> Create(uint32_t processId) override;
};
