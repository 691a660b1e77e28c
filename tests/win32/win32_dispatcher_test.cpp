// The hand-off to the UI thread through a message-only window, and the wait
// that keeps it going.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

#include "win32/ui_dispatcher.h"
#include "win32_test_support.h"

namespace {

// Runs `body` on a thread of its own while the test thread waits pumping.
void OnWorkerThread(const std::function<void()>& body) {
    NamedEvent done("done");
    std::thread worker([&] {
        body();
        done.Set();
    });
    ASSERT_TRUE(PumpUntilSet(done.Get())) << "the worker thread never finished";
    worker.join();
}

TEST(Win32Dispatcher, CarriesCallsOutOnTheUiThreadAndWaitsForThem) {
    UiDispatcher dispatcher;
    const DWORD uiThread = GetCurrentThreadId();
    DWORD ranOn = 0;
    int value = 0;
    bool carried = false, sawValue = false;
    OnWorkerThread([&] {
        carried = dispatcher.Invoke([&] {
            ranOn = GetCurrentThreadId();
            value = 42;
        });
        sawValue = value == 42;  // the call has completed before Invoke returns
    });
    EXPECT_TRUE(carried);
    EXPECT_TRUE(sawValue);
    EXPECT_EQ(ranOn, uiThread);

    // On the UI thread itself the call simply runs.
    ranOn = 0;
    EXPECT_TRUE(dispatcher.Invoke([&] { ranOn = GetCurrentThreadId(); }));
    EXPECT_EQ(ranOn, uiThread);
}

TEST(Win32Dispatcher, WhatACallThrowsReachesTheCaller) {
    UiDispatcher dispatcher;
    std::string caught;
    OnWorkerThread([&] {
        try {
            dispatcher.Invoke([] { throw std::runtime_error("from the UI thread"); });
        } catch (const std::runtime_error& e) {
            caught = e.what();
        }
    });
    EXPECT_EQ(caught, "from the UI thread");
}

BOOL CALLBACK CloseMessageBox(HWND window, LPARAM) {
    char cls[16] = {};
    GetClassNameA(window, cls, sizeof cls);
    if (std::string(cls) == "#32770") PostMessageA(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

TEST(Win32Dispatcher, CallsAreCarriedOutInsideAModalLoop) {
    // The final message and the modal progress window run loops of their own;
    // a hand-off made meanwhile must not be lost or wait for them to end.
    UiDispatcher dispatcher;
    const DWORD uiThread = GetCurrentThreadId();
    bool ranInsideBox = false;
    std::thread worker([&] {
        const bool carried = dispatcher.Invoke([&] {
            ranInsideBox = true;
            EnumThreadWindows(uiThread, CloseMessageBox, 0);
        });
        if (!carried) EnumThreadWindows(uiThread, CloseMessageBox, 0);  // do not leave the box up
    });
    // Returns only when the hand-off above has closed it.
    MessageBoxA(nullptr, "waiting for a hand-off", "test", MB_OK);
    worker.join();
    EXPECT_TRUE(ranInsideBox);
}

LRESULT CALLBACK RefuseWindowCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) return 1;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(Win32Dispatcher, FailsAtConstructionWithoutItsWindow) {
    // Without the window every later hand-off would be dropped unseen; the
    // program must learn it at start. A CBT hook refuses the window here.
    UniqueHook refuse(SetWindowsHookExA(WH_CBT, RefuseWindowCreation, nullptr, GetCurrentThreadId()));
    ASSERT_TRUE(refuse);
    EXPECT_THROW({ UiDispatcher dispatcher; }, std::runtime_error);
    refuse.Reset();
    EXPECT_NO_THROW({ UiDispatcher dispatcher; });
}

TEST(Win32Dispatcher, WaitPumpingPassesAQuitMessageOn) {
    NamedEvent done("done");
    PostQuitMessage(3);
    std::thread worker([&] { done.Set(); });
    WaitPumping(done.Get());
    worker.join();
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

}  // namespace
