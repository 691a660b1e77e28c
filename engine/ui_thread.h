#pragma once
// How the worker thread reaches the UI thread, and how the UI thread waits
// for a worker without starving it. The Windows implementation is
// engine/win32/ui_dispatcher.h; the tests use a fake UI thread.
#include <functional>

class UiInvoker {
public:
    virtual ~UiInvoker() = default;
    // Carries out `call` on the UI thread and returns once it has run there;
    // whatever it threw is thrown again here. Called on the UI thread itself
    // it simply runs `call`. False when the UI thread takes no more calls
    // (its dispatcher is gone): `call` did not run.
    virtual bool Invoke(const std::function<void()>& call) = 0;
};

// Raised by a worker thread as its very last act. Waiting for it on the UI
// thread must keep carrying out the calls the worker hands over, or a worker
// that is waiting for one of them could never reach its end.
class WorkerEndSignal {
public:
    virtual ~WorkerEndSignal() = default;
    virtual void Raise() = 0;
    // Returns once Raise has run; may be called more than once.
    virtual void Wait() = 0;
};
