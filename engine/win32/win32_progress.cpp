#include "win32_progress.h"

#include <cstring>
#include <string>

#include "unique_handle.h"

namespace {

// A mapped view; unmapped once, when it goes.
class MappedView {
public:
    explicit MappedView(void* view) : view_(view) {}
    ~MappedView() {
        if (view_) UnmapViewOfFile(view_);
    }
    MappedView(const MappedView&) = delete;
    MappedView& operator=(const MappedView&) = delete;
    void* Get() const { return view_; }

private:
    void* view_;
};

class Win32ProgressReader final : public ProgressReader {
public:
    Win32ProgressReader(UniqueHandle section, void* view) : section_(std::move(section)), view_(view) {}
    bool Read(trancor::ProgressSnapshot& out) override { return trancor::ReadProgress(Record(), out); }
    trancor::ProgressRecord& Record() const { return *static_cast<trancor::ProgressRecord*>(view_.Get()); }

private:
    UniqueHandle section_;  // keeps the record alive after its encoder has gone
    MappedView view_;
};

}  // namespace

std::unique_ptr<ProgressReader> Win32ProgressChannel::Create(uint32_t processId) {
    // On the paging file: nothing on disk, gone with the last handle - ours,
    // which the reader holds until the row is done.
    UniqueHandle section(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, trancor::kProgressSize,
                                            trancor::ProgressRecordName(processId).c_str()));
    if (!section) return nullptr;
    void* view = MapViewOfFile(section.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, trancor::kProgressSize);
    if (!view) return nullptr;
    // A section left under this name (held by a reader of an earlier process
    // with this id) must not pass for this encoder's report; the encoder is
    // still held, so nothing writes meanwhile.
    std::memset(view, 0, trancor::kProgressSize);
    return std::make_unique<Win32ProgressReader>(std::move(section), view);
}
