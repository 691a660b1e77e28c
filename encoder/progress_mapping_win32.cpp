#include <windows.h>

#include "progress_mapping.h"

struct ProgressMapping::Handles {
    HANDLE section = nullptr;
    void* view = nullptr;
    ~Handles() {
        if (view) UnmapViewOfFile(view);
        if (section) CloseHandle(section);
    }
};

std::string ProgressMapping::NameFor(unsigned long pid) {
    // Local\: the session's namespace, where the program that started us
    // runs; it needs no privilege (Global\ would).
    return "Local\\" + std::string(trancor::kProgressNamePrefix) + std::to_string(pid);
}

unsigned long ProgressMapping::ProcessId() { return GetCurrentProcessId(); }

std::unique_ptr<ProgressMapping> ProgressMapping::Create(const std::string& name) {
    auto handles = std::make_unique<Handles>();
    // Backed by the paging file: nothing on disk, gone with the last handle.
    // An existing section of that name (kept by a reader of an earlier
    // process with our id) is opened and taken over.
    const std::wstring wide_name(name.begin(), name.end());  // ASCII
    handles->section =
        CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, trancor::kProgressSize, wide_name.c_str());
    if (!handles->section) return nullptr;
    handles->view = MapViewOfFile(handles->section, FILE_MAP_ALL_ACCESS, 0, 0, trancor::kProgressSize);
    if (!handles->view) return nullptr;
    auto* record = static_cast<trancor::ProgressRecord*>(handles->view);
    return std::unique_ptr<ProgressMapping>(new ProgressMapping(std::move(handles), record));
}

ProgressMapping::ProgressMapping(std::unique_ptr<Handles> handles, trancor::ProgressRecord* record)
    : handles_(std::move(handles)), record_(record) {}

ProgressMapping::~ProgressMapping() = default;
