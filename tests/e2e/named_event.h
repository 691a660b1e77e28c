#pragma once
// A named event the stand-in encoder opens by name; closed at the end.
#include <windows.h>

#include <string>

#include "win32/unique_handle.h"

namespace e2e {

class NamedEvent {
public:
    NamedEvent(const std::string& name, bool manualReset)
        : name_(name), handle_(CreateEventA(nullptr, manualReset, FALSE, name.c_str())) {}
    const std::string& Name() const { return name_; }
    void Set() { SetEvent(handle_.Get()); }
    void Reset() { ResetEvent(handle_.Get()); }
    bool Wait(int ms) { return WaitForSingleObject(handle_.Get(), static_cast<DWORD>(ms)) == WAIT_OBJECT_0; }

private:
    std::string name_;
    UniqueHandle handle_;
};

}  // namespace e2e
