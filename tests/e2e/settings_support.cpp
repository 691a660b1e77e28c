#include "settings_support.h"

#include <commctrl.h>
#include <shlobj.h>

#include <stdexcept>
#include <vector>

#include "driver/gui_driver.h"

namespace e2e {

namespace {

// Memory inside the program for messages that pass pointers the system does
// not marshal across processes (tree items, folder paths).
class ProgramMemory {
public:
    ProgramMemory(HWND window, size_t size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (!process_) throw std::runtime_error("OpenProcess failed");
        address_ = static_cast<char*>(
            VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (!address_) {
            CloseHandle(process_);
            throw std::runtime_error("VirtualAllocEx failed");
        }
    }
    ProgramMemory(const ProgramMemory&) = delete;
    ProgramMemory& operator=(const ProgramMemory&) = delete;
    ~ProgramMemory() {
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    char* Address() const { return address_; }
    void Write(size_t offset, const void* data, size_t size) {
        WriteProcessMemory(process_, address_ + offset, data, size, nullptr);
    }
    void Read(size_t offset, void* data, size_t size) const {
        ReadProcessMemory(process_, address_ + offset, data, size, nullptr);
    }

private:
    HANDLE process_ = nullptr;
    char* address_ = nullptr;
};

std::string WideToUtf8(const std::wstring& wide) {
    if (wide.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string text(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), n,
                        nullptr, nullptr);
    return text;
}

}  // namespace

HWND WaitForSettingForm(DWORD pid) { return WaitForWindow(pid, "#32770", "设置"); }

bool WaitForSettingFormGone(DWORD pid) { return WaitForWindowGone(pid, "#32770", "设置"); }

std::string DropDownText(HWND combo) {
    // Wine answers a cross-process CB_GETLBTEXTA in UTF-16; the W message is
    // marshalled correctly on both systems.
    LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    if (index < 0) return "";
    LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length <= 0) return "";
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return WideToUtf8(text.data());
}

int DropDownIndex(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

int TrackBarPosition(HWND trackBar) {
    return static_cast<int>(SendMessageW(trackBar, TBM_GETPOS, 0, 0));
}

void TypeText(HWND edit, const std::string& utf8) {
    std::string text = ToSystem(utf8);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

HWND FocusedWindow(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

bool FocusControl(HWND dialog, HWND control) {
    PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    return WaitUntil([&] { return FocusedWindow(dialog) == control; });
}

RECT RectInParent(HWND control) {
    RECT r = WindowRect(control);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

void PaintNow(HWND window) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

HWND WaitForFolderDialog(DWORD pid) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND dialog : TopWindows(pid, "#32770")) {
            if (FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr)) found = dialog;
        }
        return found != nullptr;
    });
    return found;
}

std::string SelectedFolderName(HWND dialog) {
    HWND tree = FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr);
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item) return "";
    constexpr size_t kChars = MAX_PATH;
    ProgramMemory memory(tree, sizeof(TVITEMW) + kChars * sizeof(wchar_t));
    TVITEMW tv{};
    tv.mask = TVIF_TEXT;
    tv.hItem = item;
    tv.pszText = reinterpret_cast<wchar_t*>(memory.Address() + sizeof(TVITEMW));
    tv.cchTextMax = kChars;
    memory.Write(0, &tv, sizeof tv);
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(memory.Address()));
    std::vector<wchar_t> text(kChars + 1, L'\0');
    memory.Read(sizeof(TVITEMW), text.data(), kChars * sizeof(wchar_t));
    return WideToUtf8(text.data());
}

void SelectFolder(HWND dialog, const std::string& path) {
    std::string system = ToSystem(path);
    ProgramMemory memory(dialog, system.size() + 1);
    memory.Write(0, system.c_str(), system.size() + 1);
    SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(memory.Address()));
}

}  // namespace e2e
