#pragma once
// The whole batch's progress on the main window's taskbar button, through
// the shell's ITaskbarList3. Where the system has no such interface (older
// Windows, Wine) nothing is shown and nothing fails.
#include <windows.h>

#include <shobjidl.h>

#include <memory>

#include "batch_indicators.h"

class Win32TaskbarProgress final : public TaskbarProgress {
public:
    // Create and use on the UI thread, with COM initialised there (the
    // interface belongs to the thread that created it).
    explicit Win32TaskbarProgress(HWND window);
    ~Win32TaskbarProgress() override;
    Win32TaskbarProgress(const Win32TaskbarProgress&) = delete;
    Win32TaskbarProgress& operator=(const Win32TaskbarProgress&) = delete;

    void SetValue(uint64_t completed, uint64_t total) override;
    void Clear() override;

private:
    struct Releaser {
        void operator()(ITaskbarList3* list) const { list->Release(); }
    };
    HWND window_;
    std::unique_ptr<ITaskbarList3, Releaser> list_;
};
