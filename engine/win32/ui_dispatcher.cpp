#include "ui_dispatcher.h"

#include <exception>
#include <stdexcept>

namespace {

const char kClassName[] = "VidquillUiDispatcher";
const UINT kInvokeMessage = WM_APP + 0x51;
const LRESULT kCarriedOut = 1;  // SendMessage gives 0 when the window is gone

struct PendingCall {
    const std::function<void()>* call;
    std::exception_ptr error;
};

LRESULT CALLBACK DispatcherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kInvokeMessage) return DefWindowProcA(window, message, wParam, lParam);
    auto* pending = reinterpret_cast<PendingCall*>(lParam);
    // Nothing may unwind through the window procedure; the worker gets it.
    try {
        (*pending->call)();
    } catch (...) {
        pending->error = std::current_exception();
    }
    return kCarriedOut;
}

void RegisterDispatcherClass() {
    // A failed registration shows as the window's creation failing.
    static const bool registered = [] {
        WNDCLASSEXA cls{};
        cls.cbSize = sizeof cls;
        cls.lpfnWndProc = DispatcherProc;
        cls.hInstance = GetModuleHandleA(nullptr);
        cls.lpszClassName = kClassName;
        return RegisterClassExA(&cls) != 0;
    }();
    (void)registered;
}

// Without its event a signal's Wait would return at once, and a UI thread
// that then joins the worker could deadlock on a hand-off: no signal at all.
UniqueHandle CreateEndEvent() {
    // Manual reset: every later Wait returns at once.
    UniqueHandle event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!event) throw std::runtime_error("CreateEvent failed (the worker's end signal)");
    return event;
}

class PumpingEndSignal final : public WorkerEndSignal {
public:
    PumpingEndSignal() : event_(CreateEndEvent()) {}
    void Raise() override { SetEvent(event_.Get()); }
    void Wait() override { WaitPumping(event_.Get()); }

private:
    UniqueHandle event_;
};

}  // namespace

UiDispatcher::UiDispatcher() : uiThread_(GetCurrentThreadId()) {
    RegisterDispatcherClass();
    window_ = UniqueWindow(CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                           GetModuleHandleA(nullptr), nullptr));
    // Without the window every hand-off would be dropped without a trace.
    if (!window_) throw std::runtime_error("CreateWindowEx failed (the UI thread's hand-off window)");
}

UiDispatcher::~UiDispatcher() = default;

bool UiDispatcher::Invoke(const std::function<void()>& call) {
    if (GetCurrentThreadId() == uiThread_) {
        call();
        return true;
    }
    // SendMessage to a window of the UI thread, not PostMessage and not a
    // thread message: the worker must wait until the change has been made
    // (it reads the bar back; the final message must be dismissed before the
    // button caption changes), and a message sent to a window is carried out
    // inside every modal loop too - the progress window's, a message box's, a
    // menu's. A message posted with a null window is dropped by those loops'
    // DispatchMessage, so a hand-off made while one runs would be lost.
    PendingCall pending{&call, nullptr};
    if (SendMessageA(window_.Get(), kInvokeMessage, 0, reinterpret_cast<LPARAM>(&pending)) != kCarriedOut)
        return false;
    if (pending.error) std::rethrow_exception(pending.error);
    return true;
}

std::unique_ptr<WorkerEndSignal> UiDispatcher::NewEndSignal() const { return std::make_unique<PumpingEndSignal>(); }

void WaitPumping(HANDLE handle) {
    const DWORD wake = QS_SENDMESSAGE | QS_POSTMESSAGE | QS_TIMER | QS_PAINT;
    const UINT take = PM_REMOVE | PM_QS_SENDMESSAGE | PM_QS_POSTMESSAGE | PM_QS_PAINT;
    bool quit = false;
    WPARAM quitCode = 0;
    for (;;) {
        // Messages are taken before every wait: MsgWaitForMultipleObjects
        // wakes only for messages that arrive after the queue was last looked at.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, take)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                quitCode = msg.wParam;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, wake);
        if (result == WAIT_OBJECT_0) break;
        if (result == WAIT_FAILED) {
            // An unusable handle: nothing to pump for.
            WaitForSingleObject(handle, INFINITE);
            break;
        }
    }
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}
