#include "win32_progress.h"

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

std::unique_ptr<ProgressReader> Win32ProgressChannel::Open(uint32_t processId) {
    UniqueHandle section(OpenFileMappingA(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, trancor::ProgressRecordName(processId).c_str()));
    if (!section) return nullptr;
    void* view = MapViewOfFile(section.Get(), FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, trancor::kProgressSize);
    if (!view) return nullptr;
    return std::make_unique<Win32ProgressReader>(std::move(section), view);
}
