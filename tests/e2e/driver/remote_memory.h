#pragma once
// Memory inside another process, for messages whose arguments are pointers
// that the system does not marshal across processes (list view items, tree
// items, folder paths).
#include <windows.h>

#include <stdexcept>

namespace e2e {

class RemoteMemory {
public:
    RemoteMemory(HWND window, size_t size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (!process_) throw std::runtime_error("OpenProcess failed");
        address_ = static_cast<char*>(
            VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (!address_) {
            CloseHandle(process_);
            throw std::runtime_error("VirtualAllocEx failed");
        }
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    ~RemoteMemory() {
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }

    char* Address() const { return address_; }
    void Write(size_t offset, const void* data, size_t size) {
        WriteProcessMemory(process_, address_ + offset, data, size, nullptr);
    }
    void Read(size_t offset, void* data, size_t size) const {
        ReadProcessMemory(process_, address_ + offset, data, size, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    char* address_ = nullptr;
};

}  // namespace e2e
