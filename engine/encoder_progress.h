#pragma once
// The progress record an encoder publishes (encoder/interface/trancor_progress.h),
// behind an interface: the worker finds it by the encoder's process id and
// reads whole copies of it. The Windows implementation maps the named
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
    // The record of the encoder with this process id, marked as attached;
    // null when there is none (yet, or at all: an encoder that publishes
    // nothing). The record stays readable while the reader lives, also
    // after the encoder has exited.
    virtual std::unique_ptr<ProgressReader> Open(uint32_t processId) = 0;
};
