#pragma once
// What trancor publishes while it runs, for the program that started it (and
// any other front end): a small shared-memory record, written by the encoder
// alone and read without locks. Described for front-end authors in the
// README ("For front-end authors").
//
// The record's name (version 2 of this contract):
//   - given with "-progress-name NAME": a record the front end created
//     before it started the encoder; the encoder only opens it;
//   - otherwise by the encoder's process id, ProgressRecordName(pid) below.
//     The encoder creates it first thing at start - or takes over the one
//     its front end created under that id while it held the encoder
//     suspended.
// A record the front end created outlives the encoder by construction, so
// even a run that fails at once leaves its reason there. A record the
// encoder created itself lives as long as the encoder or any reader holds
// it. Publishing never blocks the encoder, and readers never write.
//
// Reading without torn values (a sequence lock): read `sequence`; when it is
// odd the encoder is writing, so try again later; copy the record; read
// `sequence` again; the copy is whole only when both reads agree.
#include <atomic>
#include <cstdint>
#include <string>

namespace trancor {

constexpr uint32_t kProgressMagic = 0x47505254;  // "TRPG" in little-endian memory
// The layout's version. Version 2 of the contract changed only who makes
// the record and the meaning of offset 44, so the layout is still 1 and
// readers written for version 1 keep working.
constexpr uint32_t kProgressVersion = 1;
constexpr uint32_t kProgressSize = 512;          // bytes the mapping holds

// The record of the encoder with this process id:
// "Local\trancor-progress-<pid>" (a named file mapping) on Windows,
// "/trancor-progress-<pid>" (shm_open) elsewhere.
inline std::string ProgressRecordName(unsigned long processId) {
#ifdef _WIN32
    // Local\: the session's namespace, where the front end runs; it needs no
    // privilege (Global\ would).
    return "Local\\trancor-progress-" + std::to_string(processId);
#else
    return "/trancor-progress-" + std::to_string(processId);
#endif
}

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
    std::atomic<uint32_t> reserved;    // 0; version 1 had readers mark themselves here
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
