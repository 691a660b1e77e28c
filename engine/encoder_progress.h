#pragma once
// The progress record an encoder publishes (encoder/interface/trancor_progress.h),
// behind an interface: the worker makes it under the encoder's process id
// before the encoder runs, and reads whole copies of it. The Windows implementation maps the named
// section (engine/win32/win32_progress.h); tests script the copies.
#include <cstdint>
#include <memory>

#include "trancor_progress.h"

class ProgressReader {
public:
    virtual ~ProgressReader() = default;
    // A whole copy of the record; false when none could be taken now (the
    // encoder was writing, or has not set the record up yet).
    virtual bool Read(trancor::ProgressSnapshot& out) = 0;
};

class ProgressChannel {
public:
    virtual ~ProgressChannel() = default;
    // Makes and maps the record of the encoder with this process id while
    // the encoder is held before its first instruction, so the record
    // outlives the encoder by construction: even a run that fails at once
    // leaves its reason there. Null when the system refuses: the run goes
    // without progress. An encoder that publishes nothing leaves it blank.
    virtual std::unique_ptr<ProgressReader> Create(uint32_t processId) = 0;
};
