#include "folder_chooser.h"

#include <shlobj.h>

#include "app_shell.h"
#include "setting_rules.h"

namespace {

// The installed CenterDialogHook, or null. UI thread only.
HHOOK g_centerHook = nullptr;

bool IsExistingDirectory(const std::string& path) {
    if (path.empty()) return false;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The shell's allocator and one block taken from it, released in reverse.
class ShellAllocator {
public:
    ShellAllocator() {
        if (FAILED(SHGetMalloc(&malloc_))) malloc_ = nullptr;
    }
    ShellAllocator(const ShellAllocator&) = delete;
    ShellAllocator& operator=(const ShellAllocator&) = delete;
    ~ShellAllocator() {
        if (malloc_) malloc_->Release();
    }
    IMalloc* Get() const { return malloc_; }

private:
    IMalloc* malloc_ = nullptr;
};

class ShellBlock {
public:
    ShellBlock(IMalloc* malloc, void* block) : malloc_(malloc), block_(block) {}
    ShellBlock(const ShellBlock&) = delete;
    ShellBlock& operator=(const ShellBlock&) = delete;
    ~ShellBlock() {
        if (block_) malloc_->Free(block_);
    }
    void* Get() const { return block_; }

private:
    IMalloc* malloc_;
    void* block_;
};

// The process's error mode for one scope: drives without a medium in the
// folder tree must not raise the system's own error box.
class CriticalErrorsFail {
public:
    CriticalErrorsFail() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    CriticalErrorsFail(const CriticalErrorsFail&) = delete;
    CriticalErrorsFail& operator=(const CriticalErrorsFail&) = delete;
    ~CriticalErrorsFail() { SetErrorMode(previous_); }

private:
    UINT previous_;
};

// Selects the current folder as soon as the dialog can take it. `data` is
// the caller's folder text, which lives as long as the dialog.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data != 0) {
        SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
        // Under Wine the first folder dialog of a program that has been
        // running for a second or more ignores a selection made this early
        // (measured: every time); asked again once the dialog runs its own
        // loop, it takes it. Selecting the same folder twice changes nothing.
        PostMessageA(dialog, BFFM_SETSELECTIONA, TRUE, data);
    }
    return 0;
}

BOOL CALLBACK TakeFirstMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM found) {
    *reinterpret_cast<HMONITOR*>(found) = monitor;
    return FALSE;
}

// The monitor the folder dialog belongs on: the one nearest to the window
// the user was working in, or the first the system lists when there is none.
HMONITOR TargetMonitor() {
    if (HWND active = GetActiveWindow()) return MonitorFromWindow(active, MONITOR_DEFAULTTONEAREST);
    HMONITOR first = nullptr;
    EnumDisplayMonitors(nullptr, nullptr, TakeFirstMonitor, reinterpret_cast<LPARAM>(&first));
    return first ? first : MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY);
}

}  // namespace

bool SelectOutputFolder(const std::string& caption, std::string& folder) {
    if (!IsExistingDirectory(folder)) folder.clear();

    ShellAllocator allocator;
    if (!allocator.Get()) return false;
    ShellBlock buffer(allocator.Get(), allocator.Get()->Alloc(MAX_PATH));
    if (!buffer.Get()) return false;
    char* path = static_cast<char*>(buffer.Get());
    path[0] = '\0';

    BROWSEINFOA info{};
    info.hwndOwner = app::MainWindow();
    info.pidlRoot = nullptr;
    info.pszDisplayName = path;
    info.lpszTitle = caption.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    if (!folder.empty()) {
        info.lpfn = BrowseCallback;
        info.lParam = reinterpret_cast<LPARAM>(folder.c_str());
    }

    LPITEMIDLIST item = nullptr;
    {
        // Declared in this order so that the error mode is restored before
        // the windows are enabled again.
        DisabledThreadWindows disabled;
        CriticalErrorsFail errorMode;
        item = SHBrowseForFolderA(&info);
    }
    if (!item) return false;

    BOOL converted = SHGetPathFromIDListA(item, path);
    allocator.Get()->Free(item);
    // A confirmed item always is a file-system folder (BIF_RETURNONLYFSDIRS);
    // should the conversion fail all the same, the buffer holds the display
    // name, which is no path: keep the folder as it was.
    if (!converted) return false;
    folder = path;
    return true;
}

void InstallCenterDialogHook() {
    // A hook of an earlier press whose dialog never opened is still waiting;
    // overwriting its handle would leave it installed for good, moving every
    // window the program activates from then on.
    if (g_centerHook && UnhookWindowsHookEx(g_centerHook)) g_centerHook = nullptr;
    g_centerHook = SetWindowsHookExA(WH_CBT, CenterDialogHook, nullptr, GetCurrentThreadId());
}

bool CenterDialogHookInstalled() { return g_centerHook != nullptr; }

LRESULT CALLBACK CenterDialogHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code != HCBT_ACTIVATE) return CallNextHookEx(g_centerHook, code, wParam, lParam);

    HWND window = reinterpret_cast<HWND>(wParam);
    RECT outer{};
    GetWindowRect(window, &outer);
    LRESULT result = CallNextHookEx(g_centerHook, code, wParam, lParam);
    if (UnhookWindowsHookEx(g_centerHook)) g_centerHook = nullptr;

    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(TargetMonitor(), &info)) return result;
    const RECT& m = info.rcMonitor;  // the whole monitor, taskbar included
    const int32_t width = outer.right - outer.left, height = outer.bottom - outer.top;
    ScreenPoint origin = CenteredOrigin({m.left, m.top, m.right, m.bottom}, width, height);
    MoveWindow(window, origin.x, origin.y, width, height, FALSE);
    return result;
}
