#pragma once
// The Windows hand-off from the worker to the UI thread, and the wait that
// keeps the UI thread carrying out hand-offs while it waits for a worker.
// Created on the UI thread before any worker, destroyed after the last one
// is gone; how the pieces fit together: batch_worker.h.
#include <windows.h>

#include <memory>

#include "../ui_thread.h"
#include "unique_handle.h"

class UiDispatcher final : public UiInvoker {
public:
    // Creates a hidden message-only window owned by the calling (UI) thread;
    // destroy the dispatcher on that thread too, after the last worker.
    // Throws std::runtime_error when the window cannot be created.
    UiDispatcher();
    ~UiDispatcher() override;
    UiDispatcher(const UiDispatcher&) = delete;
    UiDispatcher& operator=(const UiDispatcher&) = delete;

    // From another thread: carries `call` out on the UI thread and returns
    // once it has run; what it threw is thrown again here. On the UI thread:
    // runs `call` directly. False when the window is gone.
    bool Invoke(const std::function<void()>& call) override;

    // A signal whose Wait, on the UI thread, keeps dispatching (WaitPumping).
    // Throws std::runtime_error when its event cannot be created.
    std::unique_ptr<WorkerEndSignal> NewEndSignal() const;

private:
    DWORD uiThread_;
    UniqueWindow window_;
};

// Waits until `handle` is signalled while still dispatching what other
// threads send and what is posted, timers and painting included, so a worker
// blocked in a hand-off can go on. Keyboard and mouse input stays queued
// until the wait ends: the user cannot start a second action from inside it.
// A WM_QUIT taken from the queue meanwhile is posted again afterwards.
void WaitPumping(HANDLE handle);
