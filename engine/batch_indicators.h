#pragma once
// What a batch shows and holds outside the program's windows: the progress
// of the whole batch on the main window's taskbar button, and the computer
// kept from sleeping. The main window shows the batch's share on the
// taskbar; the worker holds the keep-awake on its thread. The Windows
// implementations are ui/taskbar_progress.h and engine/win32/win32_keep_awake.h.
#include <cstdint>

class TaskbarProgress {
public:
    virtual ~TaskbarProgress() = default;
    // `completed` of `total` units; carried out on the UI thread. Failures
    // are ignored (a system without the interface shows nothing).
    virtual void SetValue(uint64_t completed, uint64_t total) = 0;
    // No progress shown any more.
    virtual void Clear() = 0;
};

class KeepAwake {
public:
    virtual ~KeepAwake() = default;
    // From the worker thread: the system must not sleep until Release.
    virtual void Hold() = 0;
    virtual void Release() = 0;
};
