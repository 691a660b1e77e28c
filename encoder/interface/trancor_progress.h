#pragma once
// What trancor publishes while it runs, for the program that started it (and
// any other front end): a small shared-memory record, written by the encoder
// alone and read without locks. Described for front-end authors in the
// README ("For front-end authors").
//
// Name of the record, by the encoder's process id (decimal):
//   Windows: "Local\trancor-progress-<pid>"  (a named file mapping)
//   POSIX:   "/trancor-progress-<pid>"       (shm_open)
// The encoder creates it first thing at start; the record lives as long as
// the encoder or any reader holds it open. A reader that finds none (an
// older encoder, or one that has already exited) goes on without progress.
// Publishing never blocks the encoder. The one field a reader writes is
// `reader_attached`: a reader sets it to 1 once it has mapped the record. A
// run that fails before any reader has attached keeps the record up for at
// most a quarter of a second before it exits, so a reader that polls from
// the moment it started the encoder still learns why it failed.
//
// Reading without torn values (a sequence lock): read `sequence`; when it is
// odd the encoder is writing, so try again later; copy the record; read
// `sequence` again; the copy is whole only when both reads agree.
#include <atomic>
#include <cstdint>

namespace trancor {

constexpr uint32_t kProgressMagic = 0x47505254;  // "TRPG" in little-endian memory
constexpr uint32_t kProgressVersion = 1;
constexpr uint32_t kProgressSize = 512;          // bytes the mapping holds
constexpr const char* kProgressNamePrefix = "trancor-progress-";

enum class RunState : uint32_t {
    Running = 0,
    Succeeded = 1,  // the output is complete and in place
    Failed = 2,     // `reason` and `message` say why
};

// Why a run failed. The values are part of the interface: new ones may be
// added, existing ones never change meaning. Exit codes stay as they are
// (1 for a failed conversion, 2 for a refused command line).
enum class FailureReason : uint32_t {
    None = 0,
    BadCommandLine = 1,       // an option or value the encoder refuses
    SourceUnreadable = 2,     // missing, no permission, not a file
    UnsupportedFormat = 3,    // a container or codec the encoder cannot read
    SourceDamaged = 4,        // nothing usable could be decoded
    SourceIncomplete = 5,     // ends well before its stated length
    OutputFolderMissing = 6,  // the target's folder does not exist
    OutputNotWritable = 7,    // no permission, read-only medium, file locked
    DiskFull = 8,             // no space left for the output
    OutputIsSource = 9,       // the target would overwrite the source
    Internal = 10,            // anything else
};

// All fields are little-endian, naturally aligned; the struct is padded to
// kProgressSize. Times are microseconds of media time.
struct ProgressRecord {
    std::atomic<uint32_t> magic;       // kProgressMagic once the record is set up
    std::atomic<uint32_t> version;     // kProgressVersion
    std::atomic<uint32_t> sequence;    // odd while the encoder writes
    std::atomic<uint32_t> state;       // RunState
    std::atomic<int64_t> done_us;      // media time written so far (never decreases)
    std::atomic<int64_t> duration_us;  // the source's length; -1 when unknown
    std::atomic<int64_t> frames;       // pictures written so far
    std::atomic<uint32_t> reason;      // FailureReason, when state is Failed
    std::atomic<uint32_t> reader_attached;  // set to 1 by a reader (the only field it writes)
    char message[256];                 // UTF-8, NUL-terminated: the failure's one line
};
static_assert(sizeof(ProgressRecord) <= kProgressSize, "the record must fit its mapping");
static_assert(std::atomic<uint32_t>::is_always_lock_free && std::atomic<int64_t>::is_always_lock_free,
              "the record is shared between processes: its atomics must be lock-free");

// A whole copy of the record, as a reader takes it.
struct ProgressSnapshot {
    RunState state = RunState::Running;
    int64_t done_us = 0;
    int64_t duration_us = -1;
    int64_t frames = 0;
    FailureReason reason = FailureReason::None;
    char message[256] = {};
};

// Takes a consistent copy of `record`; false when the encoder was writing
// (try again on the next poll) or the record is not (yet) a version-1 record.
inline bool ReadProgress(const ProgressRecord& record, ProgressSnapshot& out) {
    if (record.magic.load(std::memory_order_acquire) != kProgressMagic ||
        record.version.load(std::memory_order_relaxed) != kProgressVersion)
        return false;
    const uint32_t before = record.sequence.load(std::memory_order_acquire);
    if (before & 1u) return false;
    ProgressSnapshot copy;
    copy.state = static_cast<RunState>(record.state.load(std::memory_order_relaxed));
    copy.done_us = record.done_us.load(std::memory_order_relaxed);
    copy.duration_us = record.duration_us.load(std::memory_order_relaxed);
    copy.frames = record.frames.load(std::memory_order_relaxed);
    copy.reason = static_cast<FailureReason>(record.reason.load(std::memory_order_relaxed));
    // The message is only written once, before the final state; a copy that
    // races with that write is thrown away by the sequence check below.
    const volatile char* text = record.message;
    for (unsigned i = 0; i + 1 < sizeof copy.message; ++i) copy.message[i] = text[i];
    copy.message[sizeof copy.message - 1] = '\0';
    std::atomic_thread_fence(std::memory_order_acquire);
    if (record.sequence.load(std::memory_order_relaxed) != before) return false;
    out = copy;
    return true;
}

}  // namespace trancor
