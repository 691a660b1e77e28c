#include <windows.h>

#include "progress_mapping.h"
#include "utf.h"

struct ProgressMapping::Handles {
    HANDLE section = nullptr;
    void* view = nullptr;
    ~Handles() {
        if (view) UnmapViewOfFile(view);
        if (section) CloseHandle(section);
    }
};

unsigned long ProgressMapping::ProcessId() { return GetCurrentProcessId(); }

namespace {

// Maps the whole record of an open section; fails for a smaller one.
void* MapRecord(HANDLE section) {
    return MapViewOfFile(section, FILE_MAP_READ | FILE_MAP_WRITE, 0, 0, trancor::kProgressSize);
}

}  // namespace

std::unique_ptr<ProgressMapping> ProgressMapping::Create(const std::string& name) {
    auto handles = std::make_unique<Handles>();
    // Backed by the paging file: nothing on disk, gone with the last handle.
    // An existing section of that name (made by our front end while we were
    // suspended, or kept by a reader of an earlier process with our id) is
    // opened and taken over.
    handles->section = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, trancor::kProgressSize,
                                          Utf8ToWide(name).c_str());
    if (!handles->section) return nullptr;
    handles->view = MapRecord(handles->section);
    if (!handles->view) return nullptr;
    auto* record = static_cast<trancor::ProgressRecord*>(handles->view);
    return std::unique_ptr<ProgressMapping>(new ProgressMapping(std::move(handles), record));
}

std::unique_ptr<ProgressMapping> ProgressMapping::Open(const std::string& name) {
    auto handles = std::make_unique<Handles>();
    handles->section = OpenFileMappingW(FILE_MAP_READ | FILE_MAP_WRITE, FALSE, Utf8ToWide(name).c_str());
    if (!handles->section) return nullptr;
    handles->view = MapRecord(handles->section);
    if (!handles->view) return nullptr;
    auto* record = static_cast<trancor::ProgressRecord*>(handles->view);
    return std::unique_ptr<ProgressMapping>(new ProgressMapping(std::move(handles), record));
}

ProgressMapping::ProgressMapping(std::unique_ptr<Handles> handles, trancor::ProgressRecord* record)
    : handles_(std::move(handles)), record_(record) {}

ProgressMapping::~ProgressMapping() = default;
