// The one modal mechanism of the program's windows: what it does to the
// thread's other windows, the dialog keys, the end of the program, and that
// running out of memory while disabling leaves no window disabled.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <new>

#include "app_shell.h"

namespace {

// How many more allocations this test program grants before each one fails;
// negative: all of them.
std::atomic<int> g_allocationsLeft{-1};

class FailingAllocations {
public:
    explicit FailingAllocations(int granted) { g_allocationsLeft = granted; }
    FailingAllocations(const FailingAllocations&) = delete;
    FailingAllocations& operator=(const FailingAllocations&) = delete;
    ~FailingAllocations() { g_allocationsLeft = -1; }
};

}  // namespace

void* operator new(std::size_t size) {
    int left = g_allocationsLeft.load();
    while (left > 0 && !g_allocationsLeft.compare_exchange_weak(left, left - 1)) {
    }
    if (left == 0) throw std::bad_alloc();
    if (void* block = HeapAlloc(GetProcessHeap(), 0, size ? size : 1)) return block;
    throw std::bad_alloc();
}
void operator delete(void* block) noexcept {
    if (block) HeapFree(GetProcessHeap(), 0, block);
}
void operator delete(void* block, std::size_t) noexcept { operator delete(block); }

namespace {

const char kClass[] = "VqModalTestWindow";
int* g_modalResult = nullptr;  // what the test window's IDCANCEL sets

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL && g_modalResult) *g_modalResult = IDCANCEL;
    return DefWindowProcA(window, message, wParam, lParam);
}

UniqueWindow MakeWindow(bool visible, bool enabled = true) {
    WNDCLASSA wc{};
    if (!GetClassInfoA(GetModuleHandleA(nullptr), kClass, &wc)) {
        wc.lpfnWndProc = TestWindowProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassA(&wc);
    }
    HWND window = CreateWindowExA(0, kClass, "modal test", WS_POPUP | WS_CAPTION | (visible ? WS_VISIBLE : 0),
                                  100, 100, 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    EnableWindow(window, enabled);
    return UniqueWindow(window);
}

TEST(DisabledThreadWindows, RunningOutOfMemoryLeavesNoWindowDisabled) {
    UniqueWindow windows[] = {MakeWindow(true), MakeWindow(true), MakeWindow(true)};
    UniqueWindow off = MakeWindow(true, false);
    int disabledDuring = 0;
    {
        std::unique_ptr<DisabledThreadWindows> disabled;
        {
            // Room for the first window remembered; the list cannot grow for the second.
            FailingAllocations failing(2);
            disabled = std::unique_ptr<DisabledThreadWindows>(new DisabledThreadWindows());
        }
        for (const UniqueWindow& w : windows) disabledDuring += IsWindowEnabled(w.Get()) ? 0 : 1;
    }
    EXPECT_EQ(disabledDuring, 1) << "one window remembered and disabled, then the enumeration stops";
    for (const UniqueWindow& w : windows) EXPECT_TRUE(IsWindowEnabled(w.Get()));
    EXPECT_FALSE(IsWindowEnabled(off.Get())) << "was disabled before, stays disabled";
}

struct ModalRun {
    HWND modal, other;
    bool otherEnabled = true, modalVisible = false, modalEnabled = false;
};
ModalRun* g_run = nullptr;

void CALLBACK PressEscape(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    g_run->otherEnabled = IsWindowEnabled(g_run->other);
    g_run->modalVisible = IsWindowVisible(g_run->modal);
    g_run->modalEnabled = IsWindowEnabled(g_run->modal);
    PostMessageA(g_run->modal, WM_KEYDOWN, VK_ESCAPE, 0);
}

TEST(RunModal, DisablesTheOthersTakesDialogKeysAndEndsWithTheProgram) {
    UniqueWindow other = MakeWindow(true);
    UniqueWindow off = MakeWindow(true, false);
    UniqueWindow modal = MakeWindow(false);
    int result = 0;
    ModalRun run{modal.Get(), other.Get()};
    g_run = &run;
    g_modalResult = &result;

    // Escape, as a dialog takes it, sends IDCANCEL, which ends the loop.
    SetTimer(nullptr, 0, 10, PressEscape);
    EXPECT_EQ(RunModal(modal.Get(), result, ModalKeys::Dialog), IDCANCEL);
    EXPECT_FALSE(run.otherEnabled);
    EXPECT_TRUE(run.modalVisible);
    EXPECT_TRUE(run.modalEnabled);
    EXPECT_TRUE(IsWindowEnabled(other.Get()));
    EXPECT_FALSE(IsWindowEnabled(off.Get())) << "was disabled before, stays disabled";
    EXPECT_FALSE(IsWindowVisible(modal.Get()));

    // The program ending meanwhile: the loop ends and the outer loop still sees WM_QUIT.
    PostQuitMessage(7);
    EXPECT_EQ(RunModal(modal.Get(), result), IDCANCEL);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    EXPECT_TRUE(IsWindowEnabled(other.Get()));

    g_modalResult = nullptr;
    g_run = nullptr;
}

}  // namespace
