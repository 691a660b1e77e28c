// The folder chooser and its centring hook on the real system dialogs (run
// under Wine by the cross build). The test's own thread is the UI thread; a
// second thread plays the user while the browse dialog runs its loop.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "folder_chooser.h"
#include "app_shell.h"
#include "codepage.h"
#include "setting_rules.h"
#include "test_folder.h"
#include "win_handles.h"

namespace {

const char kClass[] = "VqChooserTestWindow";

void RegisterTestClass() {
    WNDCLASSA wc{};
    if (GetClassInfoA(GetModuleHandleA(nullptr), kClass, &wc)) return;
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kClass;
    RegisterClassA(&wc);
}

UniqueWindow MakeWindow(int x, int y, int width, int height, bool visible = true) {
    RegisterTestClass();
    HWND w = CreateWindowExA(0, kClass, "chooser test", WS_POPUP | WS_CAPTION | (visible ? WS_VISIBLE : 0),
                             x, y, width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    return UniqueWindow(w);
}

RECT RectOf(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

ScreenRect PrimaryMonitor() {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    return {info.rcMonitor.left, info.rcMonitor.top, info.rcMonitor.right, info.rcMonitor.bottom};
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// The visible dialog (#32770) of `thread`, waited for up to ten seconds.
HWND WaitForDialog(DWORD thread) {
    struct Search {
        HWND found = nullptr;
    } search;
    for (int i = 0; i < 1000 && !search.found; ++i) {
        EnumThreadWindows(
            thread,
            [](HWND w, LPARAM p) -> BOOL {
                char cls[32] = {};
                GetClassNameA(w, cls, sizeof cls);
                if (std::string(cls) == "#32770" && IsWindowVisible(w)) {
                    reinterpret_cast<Search*>(p)->found = w;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.found) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return search.found;
}

HWND FolderTree(HWND dialog) { return FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr); }

HTREEITEM NextItem(HWND tree, HTREEITEM item, WPARAM how) {
    return reinterpret_cast<HTREEITEM>(SendMessageA(tree, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(item)));
}

std::string ItemText(HWND tree, HTREEITEM item) {
    char text[MAX_PATH] = {};
    TVITEMA tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = text;
    tv.cchTextMax = sizeof text;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    return text;
}

// Text of the tree's selected item: the display name of the selected folder.
std::string SelectedTreeText(HWND dialog) {
    HWND tree = FolderTree(dialog);
    if (!tree) return "<no tree>";
    HTREEITEM item = NextItem(tree, nullptr, TVGN_CARET);
    return item ? ItemText(tree, item) : "";
}

// Selects the item named `name` beside the tree's selected item.
void SelectSiblingItem(HWND dialog, const std::string& name) {
    HWND tree = FolderTree(dialog);
    HTREEITEM parent = NextItem(tree, NextItem(tree, nullptr, TVGN_CARET), TVGN_PARENT);
    for (HTREEITEM item = NextItem(tree, parent, TVGN_CHILD); item; item = NextItem(tree, item, TVGN_NEXT))
        if (ItemText(tree, item) == name) SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

// Waits up to ten seconds for the tree's selected item to satisfy `done`.
void WaitForTreeText(HWND dialog, const std::function<bool(const std::string&)>& done) {
    for (int i = 0; i < 1000 && !done(SelectedTreeText(dialog)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

bool HasChildText(HWND dialog, const std::string& text) {
    for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char buf[512] = {};
        GetWindowTextA(c, buf, sizeof buf);
        if (text == buf) return true;
    }
    return false;
}

// Plays the user on a second thread: waits for the browse dialog of the UI
// thread, lets `look` inspect it, then presses OK or Cancel.
class User {
public:
    User(std::function<void(HWND)> look, int button)
        : ui_(GetCurrentThreadId()), thread_([this, look, button] {
              HWND dialog = WaitForDialog(ui_);
              found_ = dialog != nullptr;
              if (!dialog) return;
              look(dialog);
              PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                           reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
          }) {}
    ~User() {
        if (thread_.joinable()) thread_.join();
    }
    bool Found() {
        if (thread_.joinable()) thread_.join();
        return found_;
    }

private:
    DWORD ui_;
    std::atomic<bool> found_{false};
    std::thread thread_;
};

class FolderChooser : public ::testing::Test {
protected:
    TestFolder folder;
    UniqueWindow main = MakeWindow(100, 100, 300, 200);
    void SetUp() override {
        CreateDirectoryA(folder.Path("videos").c_str(), nullptr);
        app::SetMainWindow(main.Get());
    }
    void TearDown() override { app::SetMainWindow(nullptr); }
};

TEST_F(FolderChooser, OpensOwnedTitledWithTheFolderSelectedAndCancelKeepsIt) {
    std::string output = folder.Path("videos");
    const std::string before = output;
    HWND owner = nullptr;
    std::string selected;
    bool titled = false;
    bool ok;
    {
        User user(
            [&](HWND dialog) {
                owner = GetWindow(dialog, GW_OWNER);
                // The tree may still be opening the path when the dialog shows.
                for (int i = 0; i < 1000 && (selected = SelectedTreeText(dialog)) != "videos"; ++i) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(10));
                }
                titled = HasChildText(dialog, SysText("请选择目录"));
            },
            IDCANCEL);
        ok = SelectOutputFolder(SysText("请选择目录"), output);
        ASSERT_TRUE(user.Found());
    }
    EXPECT_FALSE(ok);
    EXPECT_EQ(output, before);
    EXPECT_EQ(owner, main.Get());
    EXPECT_EQ(selected, "videos");
    EXPECT_TRUE(titled);
}

TEST_F(FolderChooser, AFolderThatDoesNotExistIsEmptiedAtOnceAndStaysEmptyOnCancel) {
    for (std::string output : {folder.Path("gone"), std::string("0"), folder.Path("missing\\deeper")}) {
        std::string during = "<not seen>";
        bool ok;
        {
            // The caller's text is emptied before the dialog shows.
            User user([&](HWND) { during = output; }, IDCANCEL);
            ok = SelectOutputFolder("t", output);
            ASSERT_TRUE(user.Found());
        }
        EXPECT_FALSE(ok);
        EXPECT_EQ(output, "");
        EXPECT_EQ(during, "");
    }
}

TEST_F(FolderChooser, ConfirmingWritesTheChosenPathRootsKeepTheirBackslash) {
    CreateDirectoryA(folder.Path("other").c_str(), nullptr);
    struct Case {
        std::string choose, expect;
    };
    for (const Case& c : {Case{folder.Path("other"), folder.Path("other")}, Case{"C:\\", "C:\\"}}) {
        std::string output = folder.Path("videos");
        bool ok;
        {
            User user(
                [&](HWND dialog) {
                    // The chooser selects the current folder twice as the dialog
                    // starts (once more from its own loop); a choice made before
                    // the second has landed would be undone by it.
                    WaitForTreeText(dialog, [](const std::string& t) { return t == "videos"; });
                    std::this_thread::sleep_for(std::chrono::milliseconds(300));
                    // Wine's dialog does not always find a sibling of the folder
                    // it has just opened by its path: pick that one in the tree,
                    // as a user would.
                    if (c.choose == folder.Path("other"))
                        SelectSiblingItem(dialog, "other");
                    else
                        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(c.choose.c_str()));
                    WaitForTreeText(dialog, [](const std::string& t) { return t != "videos"; });
                },
                IDOK);
            ok = SelectOutputFolder("t", output);
            ASSERT_TRUE(user.Found());
        }
        EXPECT_TRUE(ok) << c.choose;
        EXPECT_EQ(output, c.expect);
    }
}

// While the dialog runs, the thread's visible enabled windows are disabled
// and the critical-error mode is on; afterwards exactly those windows come
// back and the earlier mode returns.
TEST_F(FolderChooser, DisablesTheProgramsWindowsAndRestoresExactlyThose) {
    UniqueWindow second = MakeWindow(450, 100, 200, 200);
    UniqueWindow alreadyOff = MakeWindow(700, 100, 200, 200);
    UniqueWindow hidden = MakeWindow(700, 400, 200, 200, false);
    EnableWindow(alreadyOff.Get(), FALSE);
    const UINT before = SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX;
    SetErrorMode(before);

    bool mainOn = true, secondOn = true, hiddenOn = false;
    UINT modeDuring = 0;
    std::string output = folder.Path("videos");
    {
        User user(
            [&](HWND) {
                mainOn = IsWindowEnabled(main.Get());
                secondOn = IsWindowEnabled(second.Get());
                hiddenOn = IsWindowEnabled(hidden.Get());
                modeDuring = GetErrorMode();
            },
            IDCANCEL);
        SelectOutputFolder("t", output);
        ASSERT_TRUE(user.Found());
    }
    EXPECT_FALSE(mainOn);
    EXPECT_FALSE(secondOn);
    EXPECT_TRUE(hiddenOn) << "a hidden window is left alone";
    EXPECT_EQ(modeDuring & SEM_FAILCRITICALERRORS, static_cast<UINT>(SEM_FAILCRITICALERRORS));
    EXPECT_TRUE(IsWindowEnabled(main.Get()));
    EXPECT_TRUE(IsWindowEnabled(second.Get()));
    EXPECT_FALSE(IsWindowEnabled(alreadyOff.Get())) << "was disabled before, stays disabled";
    EXPECT_EQ(GetErrorMode(), before);
    SetErrorMode(0);
}

// The hook on windows of the test's own: what it does to the folder dialog.
class CenterHook : public ::testing::Test {
protected:
    void TearDown() override {
        // Leave no hook behind for the next test, whatever happened here.
        if (CenterDialogHookInstalled()) {
            UniqueWindow sink = MakeWindow(0, 0, 10, 10);
            SetActiveWindow(sink.Get());
        }
    }
};

TEST_F(CenterHook, CentresTheFirstActivatedWindowOnceAndRemovesItself) {
    UniqueWindow main = MakeWindow(10, 20, 300, 200);
    SetActiveWindow(main.Get());
    Pump();
    InstallCenterDialogHook();
    ASSERT_TRUE(CenterDialogHookInstalled());

    UniqueWindow dialog = MakeWindow(0, 0, 401, 301, false);
    ShowWindow(dialog.Get(), SW_SHOW);  // activates it
    Pump();
    ScreenPoint expected = CenteredOrigin(PrimaryMonitor(), 401, 301);
    RECT r = RectOf(dialog.Get());
    EXPECT_EQ(r.left, expected.x);
    EXPECT_EQ(r.top, expected.y);
    EXPECT_EQ(r.right - r.left, 401);
    EXPECT_EQ(r.bottom - r.top, 301);
    EXPECT_FALSE(CenterDialogHookInstalled());

    // The next window the program activates stays where it was put.
    UniqueWindow later = MakeWindow(5, 7, 200, 100, false);
    ShowWindow(later.Get(), SW_SHOW);
    Pump();
    EXPECT_EQ(RectOf(later.Get()).left, 5);
    EXPECT_EQ(RectOf(later.Get()).top, 7);
}

TEST_F(CenterHook, AWindowWiderThanTheMonitorStartsLeftOfItByTruncatedHalves) {
    const ScreenRect m = PrimaryMonitor();
    const int width = m.right - m.left + 3, height = m.bottom - m.top + 1;
    InstallCenterDialogHook();
    UniqueWindow dialog = MakeWindow(50, 50, width, height, false);
    ShowWindow(dialog.Get(), SW_SHOW);
    Pump();
    RECT r = RectOf(dialog.Get());
    EXPECT_EQ(r.left, m.left - 1);
    EXPECT_EQ(r.top, m.top);
}

// A press whose dialog never opened leaves its hook waiting; the next press
// must not leave two behind, or windows keep being moved for good.
TEST_F(CenterHook, InstallingAgainLeavesNoStaleHook) {
    InstallCenterDialogHook();
    InstallCenterDialogHook();
    UniqueWindow dialog = MakeWindow(0, 0, 200, 100, false);
    ShowWindow(dialog.Get(), SW_SHOW);
    Pump();
    ScreenPoint expected = CenteredOrigin(PrimaryMonitor(), 200, 100);
    EXPECT_EQ(RectOf(dialog.Get()).left, expected.x);
    EXPECT_FALSE(CenterDialogHookInstalled());

    UniqueWindow later = MakeWindow(3, 4, 200, 100, false);
    ShowWindow(later.Get(), SW_SHOW);
    Pump();
    EXPECT_EQ(RectOf(later.Get()).left, 3);
    EXPECT_EQ(RectOf(later.Get()).top, 4);
}

}  // namespace
