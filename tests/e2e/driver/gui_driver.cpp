#include "gui_driver.h"

#include <commctrl.h>
#include <shlobj.h>

#include <cstdio>
#include <stdexcept>

#include "codepage.h"
#include "remote_memory.h"

namespace e2e {

namespace {

std::string ClassOf(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

struct EnumState {
    DWORD pid;
    const char* className;
    std::string title;  // system code page
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != state->pid || !IsWindowVisible(window)) return TRUE;
    if (state->className && ClassOf(window) != state->className) return TRUE;
    if (!state->title.empty()) {
        char text[512] = {};
        GetWindowTextA(window, text, sizeof text);
        if (state->title != text) return TRUE;
    }
    state->found.push_back(window);
    return TRUE;
}

}  // namespace

std::string ToUtf8(const std::string& systemText) { return SystemToUtf8(systemText); }
std::string ToSystem(const std::string& utf8) { return Utf8ToSystem(utf8); }

std::string WideToUtf8(const std::wstring& wide) { return ::WideToUtf8(wide); }

bool WaitForIdle(DWORD pid, int ms) {
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!process) return false;
    bool idle = WaitForInputIdle(process, static_cast<DWORD>(ms)) == 0;
    CloseHandle(process);
    return idle;
}

bool WaitUntil(const std::function<bool()>& condition, int ms) {
    DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (static_cast<int>(GetTickCount() - start) > ms) return false;
        Sleep(10);
    }
}

std::vector<HWND> TopWindows(DWORD pid, const char* className, const std::string& title) {
    EnumState state{pid, className, ToSystem(title), {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND WaitForWindow(DWORD pid, const char* className, const std::string& title, int ms) {
    HWND found = nullptr;
    WaitUntil([&] {
        auto windows = TopWindows(pid, className, title);
        found = windows.empty() ? nullptr : windows.front();
        return found != nullptr;
    }, ms);
    return found;
}

bool WaitForWindowGone(DWORD pid, const char* className, const std::string& title, int ms) {
    return WaitUntil([&] { return TopWindows(pid, className, title).empty(); }, ms);
}

HWND Control(HWND parent, int id) { return GetDlgItem(parent, id); }

std::string WindowText(HWND window) {
    // WM_GETTEXT is marshalled across processes, also for child controls.
    char text[4096] = {};
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, nullptr);
    return ToUtf8(text);
}

RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

MessageBoxInfo WaitForMessageBox(DWORD pid, int ms) {
    MessageBoxInfo info;
    WaitUntil([&] {
        for (HWND dialog : TopWindows(pid, "#32770")) {
            if (GetDlgItem(dialog, 0xFFFF)) {
                info.window = dialog;
                return true;
            }
        }
        return false;
    }, ms);
    if (!info.window) return info;
    info.caption = WindowText(info.window);
    info.text = WindowText(GetDlgItem(info.window, 0xFFFF));
    // The icon is a static control: id 20 on Windows, 0x440 in Wine's
    // message box. Icon handles are private to the program, so the icon is
    // told by its colours on the screen: the stop sign is red, the warning
    // sign yellow.
    HWND icon = GetDlgItem(info.window, 20);
    if (!icon) icon = GetDlgItem(info.window, 0x440);
    // The box may not be painted yet: look again for up to two seconds.
    if (icon) WaitUntil([&] {
        int red = 0, yellow = 0;
        RECT r = WindowRect(icon);
        HDC screen = GetDC(nullptr);
        for (int y = r.top; y < r.bottom; ++y) {
            for (int x = r.left; x < r.right; ++x) {
                COLORREF c = GetPixel(screen, x, y);
                int R = GetRValue(c), G = GetGValue(c), B = GetBValue(c);
                if (R > 170 && G < 90 && B < 90) ++red;
                if (R > 190 && G > 150 && B < 90) ++yellow;
            }
        }
        ReleaseDC(nullptr, screen);
        info.hasStopIcon = red > 40 && red > 4 * yellow;
        info.hasExclamationIcon = yellow > 40 && yellow > 4 * red;
        return info.hasStopIcon || info.hasExclamationIcon;
    }, 2000);
    return info;
}

bool PressOk(const MessageBoxInfo& box, int ms) {
    if (!box.window) return false;
    PostMessageA(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box.window, IDOK)));
    return WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); }, ms);
}

int ListRowCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

std::vector<std::vector<std::string>> ReadListRows(HWND list, int columns) {
    constexpr size_t kText = 2048;
    RemoteMemory remote(list, sizeof(LVITEMA) + kText);
    std::vector<std::vector<std::string>> rows;
    int count = ListRowCount(list);
    for (int row = 0; row < count; ++row) {
        std::vector<std::string> texts;
        for (int column = 0; column < columns; ++column) {
            LVITEMA item{};
            item.iSubItem = column;
            item.pszText = remote.Address() + sizeof(LVITEMA);
            item.cchTextMax = kText;
            remote.Write(0, &item, sizeof item);
            char empty = '\0';
            remote.Write(sizeof(LVITEMA), &empty, 1);
            SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote.Address()));
            std::string text(kText, '\0');
            remote.Read(sizeof(LVITEMA), text.data(), kText);
            text.resize(text.find('\0'));
            texts.push_back(ToUtf8(text));
        }
        rows.push_back(texts);
    }
    return rows;
}

int ListSelectedRow(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

RECT ListRowRect(HWND list, int row) {
    RemoteMemory remote(list, sizeof(RECT));
    RECT r{};
    r.left = LVIR_BOUNDS;
    remote.Write(0, &r, sizeof r);
    SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote.Address()));
    remote.Read(0, &r, sizeof r);
    return r;
}

void Click(HWND button) { PostMessageA(button, BM_CLICK, 0, 0); }

void PostLeftClick(HWND window, POINT p) {
    LPARAM at = MAKELPARAM(p.x, p.y);
    PostMessageA(window, WM_MOUSEMOVE, 0, at);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
}

void PostRightClick(HWND window, POINT p) {
    LPARAM at = MAKELPARAM(p.x, p.y);
    PostMessageA(window, WM_MOUSEMOVE, 0, at);
    PostMessageA(window, WM_RBUTTONDOWN, MK_RBUTTON, at);
    PostMessageA(window, WM_RBUTTONUP, 0, at);
}

namespace {

bool PointerIsAt(POINT screen) {
    POINT at{};
    return GetCursorPos(&at) && at.x == screen.x && at.y == screen.y;
}

void SendPointerTo(POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

}  // namespace

// Under Wine a pointer move also warps the X pointer; the program's thread
// reads the resulting X motion when it next looks at its X events and turns
// it back into a pointer move, which can land after the driver's next move
// and put the pointer back. So a position counts as reached only once it
// has survived a few round trips through the program's thread; when a stale
// move has displaced it, the move is made again.
bool MovePointer(HWND program, POINT screen, int ms) {
    const DWORD start = GetTickCount();
    auto timeLeft = [&] { return static_cast<int>(GetTickCount() - start) <= ms; };
    for (int quietRounds = 0; quietRounds < 3;) {
        if (!timeLeft()) return false;
        if (!PointerIsAt(screen)) {
            quietRounds = 0;
            SendPointerTo(screen);
            WaitUntil([&] { return PointerIsAt(screen); }, 1000);
            continue;
        }
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(program, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored);
        Sleep(20);
        if (PointerIsAt(screen)) ++quietRounds;
    }
    return true;
}

void LeftButton(bool down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

PointerState PointerStateOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    PointerState state;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return state;
    state.capture = info.hwndCapture;
    state.inMoveSize = (info.flags & GUI_INMOVESIZE) != 0;
    return state;
}

bool WaitForPointerState(HWND window, const std::function<bool(const PointerState&)>& condition,
                         int ms) {
    return WaitUntil([&] { return condition(PointerStateOf(window)); }, ms);
}

void PostKey(HWND window, WORD virtualKey) {
    UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    PostMessageA(window, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(window, WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
}

bool DropFiles(HWND window, const std::vector<std::string>& paths,
               const std::function<bool()>& done, int ms) {
    // In wide characters, as the shell drops them: names outside the
    // system code page arrive whole.
    std::wstring names;
    for (const std::string& path : paths) names += Utf8ToWide(path) + L'\0';
    names += L'\0';
    DROPFILES header{};
    header.pFiles = sizeof header;
    header.fWide = TRUE;
    size_t bytes = names.size() * sizeof(wchar_t);
    RemoteMemory remote(window, sizeof header + bytes);
    remote.Write(0, &header, sizeof header);
    remote.Write(sizeof header, names.data(), bytes);
    PostMessageA(window, WM_DROPFILES, reinterpret_cast<WPARAM>(remote.Address()), 0);
    return WaitUntil(done, ms);
}

HWND WaitForPopupMenu(DWORD pid, int ms) { return WaitForWindow(pid, "#32768", "", ms); }

void ChooseMenuItem(HWND owner, int index) {
    for (int i = 0; i <= index; ++i) PostKey(owner, VK_DOWN);
    PostKey(owner, VK_RETURN);
}

void CloseMenu(HWND owner) { PostKey(owner, VK_ESCAPE); }

namespace {

// The open dialog: a #32770 window with the file-name box (control 0x47c).
HWND OpenDialogOf(DWORD pid) {
    for (HWND dialog : TopWindows(pid, "#32770")) {
        if (GetDlgItem(dialog, 0x47c)) return dialog;
    }
    return nullptr;
}

void SetFileName(HWND dialog, const std::string& text) {
    // Wide, so that names outside the system code page can be typed too.
    std::wstring wide = Utf8ToWide(text);
    SendMessageW(GetDlgItem(dialog, 0x47c), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

LPARAM OkButton(HWND dialog) { return reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)); }

}  // namespace

bool ChooseFilesInOpenDialog(DWORD pid, const std::string& folder,
                             const std::vector<std::string>& names, int ms) {
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = OpenDialogOf(pid)) != nullptr; }, ms)) {
        std::fprintf(stderr, "open dialog: did not appear\n");
        return false;
    }
    // The dialog finishes setting itself up after it shows; typing before
    // that can be lost.
    WaitForIdle(pid, ms);
    // A folder typed and confirmed is opened, the name box emptied and the
    // dialog stays. Sent, not posted, so the folder has been opened when
    // the call returns. The dialog starts in the folder it showed last, and
    // Wine does not empty the box when that is the folder typed: so first
    // the parent folder, then the folder itself.
    auto openFolder = [&](const std::string& path) {
        SetFileName(dialog, path);
        DWORD_PTR ignored = 0;
        return SendMessageTimeoutA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), OkButton(dialog),
                                   SMTO_NORMAL, static_cast<UINT>(ms), &ignored) != 0;
    };
    size_t slash = folder.find_last_of('\\');
    if (slash != std::string::npos && slash > 2) openFolder(folder.substr(0, slash));
    if (!openFolder(folder)) {
        std::fprintf(stderr, "open dialog: no answer to OK\n");
        return false;
    }
    std::string left = WindowText(GetDlgItem(dialog, 0x47c));
    if (!left.empty()) {
        std::fprintf(stderr, "open dialog: '%s' was not opened as a folder\n", left.c_str());
        return false;
    }

    std::string quoted;
    for (const std::string& name : names) quoted += "\"" + name + "\" ";
    SetFileName(dialog, names.size() == 1 ? names.front() : quoted);
    // Posted: confirming ends the dialog, and the program goes on from there.
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), OkButton(dialog));
    if (!WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, ms)) {
        std::fprintf(stderr, "open dialog: still open after choosing '%s'\n",
                     WindowText(GetDlgItem(dialog, 0x47c)).c_str());
        return false;
    }
    return true;
}

std::vector<std::string> OpenDialogFileTypes(DWORD pid, int* selected, int ms) {
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = OpenDialogOf(pid)) != nullptr; }, ms)) return {};
    WaitForIdle(pid, ms);
    // The file-type drop-down list (cmb1). Wide messages: Wine answers a
    // cross-process CB_GETLBTEXT in UTF-16 even when asked in ANSI.
    HWND types = GetDlgItem(dialog, 0x470);
    std::vector<std::string> names;
    int count = static_cast<int>(SendMessageW(types, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        int length = static_cast<int>(SendMessageW(types, CB_GETLBTEXTLEN, i, 0));
        std::wstring text(static_cast<size_t>(length < 0 ? 0 : length) + 1, L'\0');
        SendMessageW(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
        text.resize(wcslen(text.c_str()));
        names.push_back(WideToUtf8(text));
    }
    if (selected) *selected = static_cast<int>(SendMessageW(types, CB_GETCURSEL, 0, 0));
    return names;
}

bool CancelOpenDialog(DWORD pid, int ms) {
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = OpenDialogOf(pid)) != nullptr; }, ms)) return false;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
    return WaitUntil([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, ms);
}

}  // namespace e2e
