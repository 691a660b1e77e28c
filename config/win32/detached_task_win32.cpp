#include <windows.h>

#include <memory>

#include "../drive_probe.h"

namespace {

DWORD WINAPI RunTask(void* parameter) {
    std::unique_ptr<std::function<void()>> task(static_cast<std::function<void()>*>(parameter));
    try {
        (*task)();
    } catch (...) {
        // Nothing may unwind into the system's thread start.
    }
    return 0;
}

}  // namespace

bool RunDetached(std::function<void()> task) {
    auto owned = std::make_unique<std::function<void()>>(std::move(task));
    HANDLE thread = CreateThread(nullptr, 0, RunTask, owned.get(), 0, nullptr);
    if (!thread) return false;
    owned.release();  // the thread owns it now
    CloseHandle(thread);
    return true;
}
