#include "progress_publisher.h"

#include <algorithm>
#include <cstddef>

using trancor::ProgressRecord;

// The layout front ends are told about (README); a change here breaks them.
static_assert(offsetof(ProgressRecord, done_us) == 16 && offsetof(ProgressRecord, duration_us) == 24 &&
                  offsetof(ProgressRecord, frames) == 32 && offsetof(ProgressRecord, reason) == 40 &&
                  offsetof(ProgressRecord, reserved) == 44 && offsetof(ProgressRecord, message) == 48,
              "the record's documented offsets");

namespace {

// Longest prefix of `text` that fits `capacity` bytes without splitting a
// UTF-8 sequence.
size_t FittingLength(const std::string& text, size_t capacity) {
    if (text.size() <= capacity) return text.size();
    size_t n = capacity;
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
    return n;
}

}  // namespace

ProgressPublisher::ProgressPublisher(const std::string& recordName)
    : mapping_(recordName.empty()
                   ? ProgressMapping::Create(trancor::ProgressRecordName(ProgressMapping::ProcessId()))
                   : ProgressMapping::Open(recordName)) {
    if (!mapping_) return;
    record_ = mapping_->record();
    Reset();
}

ProgressPublisher::ProgressPublisher(ProgressRecord* record) : record_(record) { Reset(); }

ProgressPublisher::~ProgressPublisher() = default;

template <class Write>
void ProgressPublisher::Update(Write write) {
    if (!record_) return;
    std::lock_guard<std::mutex> lock(mutex_);
    // The sequence lock's writer: odd while the fields change; the release
    // fence keeps the field stores after the odd value, the release store
    // of the even value keeps them before it.
    const uint32_t sequence = record_->sequence.load(std::memory_order_relaxed);
    record_->sequence.store(sequence + 1, std::memory_order_relaxed);
    std::atomic_thread_fence(std::memory_order_release);
    write(*record_);
    record_->sequence.store(sequence + 2, std::memory_order_release);
}

void ProgressPublisher::Reset() {
    // A record left under this name (by a killed encoder whose process id
    // came back, or reused by its front end) starts over.
    record_->magic.store(0, std::memory_order_relaxed);
    record_->sequence.store(0, std::memory_order_relaxed);
    record_->reserved.store(0, std::memory_order_relaxed);
    Update([](ProgressRecord& r) {
        r.version.store(trancor::kProgressVersion, std::memory_order_relaxed);
        r.state.store(static_cast<uint32_t>(trancor::RunState::Running), std::memory_order_relaxed);
        r.done_us.store(0, std::memory_order_relaxed);
        r.duration_us.store(-1, std::memory_order_relaxed);
        r.frames.store(0, std::memory_order_relaxed);
        r.reason.store(static_cast<uint32_t>(trancor::FailureReason::None), std::memory_order_relaxed);
        volatile char* message = r.message;
        for (size_t i = 0; i < sizeof r.message; ++i) message[i] = '\0';
    });
    record_->magic.store(trancor::kProgressMagic, std::memory_order_release);
}

void ProgressPublisher::SetDuration(int64_t duration_us) {
    Update([&](ProgressRecord& r) { r.duration_us.store(duration_us, std::memory_order_relaxed); });
}

void ProgressPublisher::Advance(int64_t done_us, int64_t frames) {
    Update([&](ProgressRecord& r) {
        if (done_us > r.done_us.load(std::memory_order_relaxed)) r.done_us.store(done_us, std::memory_order_relaxed);
        if (frames > r.frames.load(std::memory_order_relaxed)) r.frames.store(frames, std::memory_order_relaxed);
    });
}

void ProgressPublisher::Succeed() {
    Update([](ProgressRecord& r) {
        r.state.store(static_cast<uint32_t>(trancor::RunState::Succeeded), std::memory_order_relaxed);
    });
}

void ProgressPublisher::Fail(trancor::FailureReason reason, const std::string& message) {
    Update([&](ProgressRecord& r) {
        const size_t length = FittingLength(message, sizeof r.message - 1);
        volatile char* text = r.message;
        for (size_t i = 0; i < sizeof r.message; ++i) text[i] = i < length ? message[i] : '\0';
        r.reason.store(static_cast<uint32_t>(reason), std::memory_order_relaxed);
        r.state.store(static_cast<uint32_t>(trancor::RunState::Failed), std::memory_order_relaxed);
    });
}
