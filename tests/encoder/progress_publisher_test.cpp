// The progress record as the encoder writes it and a front end reads it:
// whole copies under a concurrent writer, the failure's message cut
// cleanly, and the record found by its name through the system.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#endif

#include "progress_mapping.h"
#include "progress_publisher.h"

using trancor::FailureReason;
using trancor::ProgressRecord;
using trancor::ProgressSnapshot;
using trancor::RunState;

namespace {

ProgressSnapshot Read(const ProgressRecord& record) {
    ProgressSnapshot snapshot;
    EXPECT_TRUE(trancor::ReadProgress(record, snapshot));
    return snapshot;
}

TEST(ProgressRecord, ReaderTakesOnlyWholeCopies) {
    ProgressRecord record{};
    ProgressSnapshot snapshot;
    EXPECT_FALSE(trancor::ReadProgress(record, snapshot)) << "a record not set up yet";

    ProgressPublisher publisher(&record);
    snapshot = Read(record);
    EXPECT_EQ(snapshot.state, RunState::Running);
    EXPECT_EQ(snapshot.duration_us, -1);
    record.version.store(2);
    EXPECT_FALSE(trancor::ReadProgress(record, snapshot)) << "a version this reader does not know";
    record.version.store(trancor::kProgressVersion);
    record.sequence.fetch_add(1);
    EXPECT_FALSE(trancor::ReadProgress(record, snapshot)) << "the encoder is writing";
    record.sequence.fetch_add(1);

    // The writer keeps done_us and frames in step; a torn copy would not be.
    constexpr int64_t kFrames = 2000000, kFrameUs = 33367;
    std::atomic<bool> writing{true};
    std::thread writer([&] {
        publisher.SetDuration(kFrames * kFrameUs);
        for (int64_t i = 1; i <= kFrames; ++i) publisher.Advance(i * kFrameUs, i);
        publisher.Advance(kFrameUs, 1);  // a stale report is ignored
        writing = false;
    });
    int64_t whole = 0, last_done = 0;
    bool consistent = true, monotonic = true;
    while (writing) {
        if (!trancor::ReadProgress(record, snapshot)) continue;
        ++whole;
        consistent = consistent && snapshot.done_us == snapshot.frames * kFrameUs;
        monotonic = monotonic && snapshot.done_us >= last_done;
        last_done = snapshot.done_us;
    }
    writer.join();
    EXPECT_TRUE(consistent);
    EXPECT_TRUE(monotonic);
    EXPECT_GT(whole, 0);
    snapshot = Read(record);
    EXPECT_EQ(snapshot.frames, kFrames);
    EXPECT_EQ(snapshot.done_us, snapshot.duration_us);

    publisher.Succeed();
    EXPECT_EQ(Read(record).state, RunState::Succeeded);
}

TEST(ProgressRecord, FailureMessageIsCutAtACharacterBoundary) {
    const std::string wide = "\xe8\xa7\x86";  // a 3-byte character
    std::string three_byte_tail = "a";
    for (int i = 0; i < 100; ++i) three_byte_tail += wide;
    const struct {
        std::string message;
        size_t kept;
    } cases[] = {
        {"source.avi: No such file or directory", 38},
        {std::string(255, 'x'), 255},
        {std::string(300, 'x'), 255},
        {three_byte_tail, 1 + 84 * 3},  // a character that does not fit whole is left out
    };
    for (const auto& c : cases) {
        ProgressRecord record{};
        ProgressPublisher publisher(&record);
        publisher.Fail(FailureReason::SourceUnreadable, c.message);
        const ProgressSnapshot snapshot = Read(record);
        EXPECT_EQ(snapshot.state, RunState::Failed);
        EXPECT_EQ(snapshot.reason, FailureReason::SourceUnreadable);
        EXPECT_EQ(std::string(snapshot.message), c.message.substr(0, c.kept)) << c.message.size();
    }
}

// A front end's side, the system's way: a record found by its name, or
// created under it as a front end of version 2 does.
class NamedRecord {
public:
    enum Mode { kFind, kCreate };
    NamedRecord(const std::string& name, Mode mode) : name_(name), created_(mode == kCreate) {
#ifdef _WIN32
        const std::wstring wide(name.begin(), name.end());
        section_ = created_ ? CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                 trancor::kProgressSize, wide.c_str())
                            : OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, wide.c_str());
        if (section_) view_ = MapViewOfFile(section_, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, trancor::kProgressSize);
#else
        const int fd = shm_open(name.c_str(), created_ ? O_RDWR | O_CREAT | O_EXCL : O_RDWR, 0600);
        if (fd < 0) return;
        if (created_ && ftruncate(fd, trancor::kProgressSize) != 0) created_ = false;
        void* view = mmap(nullptr, trancor::kProgressSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        close(fd);
        if (view != MAP_FAILED) view_ = view;
#endif
    }
    ~NamedRecord() {
#ifdef _WIN32
        if (view_) UnmapViewOfFile(view_);
        if (section_) CloseHandle(section_);
#else
        if (view_) munmap(view_, trancor::kProgressSize);
        if (created_) shm_unlink(name_.c_str());
#endif
    }
    NamedRecord(const NamedRecord&) = delete;
    NamedRecord& operator=(const NamedRecord&) = delete;
    ProgressRecord* record() const { return static_cast<ProgressRecord*>(view_); }

private:
    std::string name_;
    bool created_;
#ifdef _WIN32
    HANDLE section_ = nullptr;
#endif
    void* view_ = nullptr;
};

TEST(ProgressRecord, FoundByProcessIdWhileThePublisherLives) {
    const std::string name = trancor::ProgressRecordName(ProgressMapping::ProcessId());
    {
        ProgressPublisher publisher;
        ASSERT_TRUE(publisher.publishing());
        NamedRecord reader(name, NamedRecord::kFind);
        ASSERT_NE(reader.record(), nullptr) << name;
        publisher.SetDuration(5000000);
        publisher.Advance(1000000, 30);
        const ProgressSnapshot snapshot = Read(*reader.record());
        EXPECT_EQ(snapshot.done_us, 1000000);
        EXPECT_EQ(snapshot.duration_us, 5000000);
        EXPECT_EQ(snapshot.frames, 30);

        // Another run under the same id (a process id handed out again)
        // starts from a clean record.
        ProgressPublisher again;
        const ProgressSnapshot fresh = Read(*reader.record());
        EXPECT_EQ(fresh.done_us, 0);
        EXPECT_EQ(fresh.duration_us, -1);
    }
    NamedRecord gone(name, NamedRecord::kFind);
    EXPECT_EQ(gone.record(), nullptr) << "the record outlived the encoder and every reader";
}

TEST(ProgressRecord, ARecordTheFrontEndNamedOutlivesThePublisher) {
#ifdef _WIN32
    const std::string name = "Local\\vq-progress-test-" + std::to_string(ProgressMapping::ProcessId());
#else
    const std::string name = "/vq-progress-test-" + std::to_string(ProgressMapping::ProcessId());
#endif
    EXPECT_FALSE(ProgressPublisher(name).publishing()) << "a name nobody created is not made up";
    NamedRecord front_end(name, NamedRecord::kCreate);
    ASSERT_NE(front_end.record(), nullptr);
    front_end.record()->reserved.store(1);  // as a reader of version 1 marks itself
    {
        ProgressPublisher publisher(name);
        ASSERT_TRUE(publisher.publishing());
        EXPECT_EQ(Read(*front_end.record()).state, RunState::Running);
        EXPECT_EQ(front_end.record()->reserved.load(), 0u);
        publisher.Fail(FailureReason::SourceUnreadable, "a.avi: No such file or directory");
    }
    // The encoder has gone at once; its reason stays with the record's creator.
    NamedRecord again(name, NamedRecord::kFind);
    ASSERT_NE(again.record(), nullptr) << "the encoder took the front end's name with it";
    const ProgressSnapshot final_state = Read(*again.record());
    EXPECT_EQ(final_state.state, RunState::Failed);
    EXPECT_EQ(final_state.reason, FailureReason::SourceUnreadable);
    EXPECT_STREQ(final_state.message, "a.avi: No such file or directory");
}

}  // namespace
