#include "settings_support.h"

#include <commctrl.h>
#include <shlobj.h>

#include <stdexcept>
#include <vector>

#include "driver/gui_driver.h"
#include "driver/remote_memory.h"

namespace e2e {

HWND WaitForSettingsDialog(DWORD pid) { return WaitForWindow(pid, "#32770", "设置"); }

bool WaitForSettingsDialogGone(DWORD pid) { return WaitForWindowGone(pid, "#32770", "设置"); }

namespace {

std::string DropDownItem(HWND combo, LRESULT index) {
    // Wine answers a cross-process CB_GETLBTEXTA in UTF-16; the W message is
    // marshalled correctly on both systems.
    LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length <= 0) return "";
    std::vector<wchar_t> text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    return WideToUtf8(text.data());
}

}  // namespace

std::string DropDownText(HWND combo) {
    LRESULT index = SendMessageW(combo, CB_GETCURSEL, 0, 0);
    return index < 0 ? "" : DropDownItem(combo, index);
}

std::vector<std::string> DropDownItems(HWND combo) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) items.push_back(DropDownItem(combo, i));
    return items;
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

namespace {

HWND FolderTree(HWND dialog) { return FindWindowExA(dialog, nullptr, WC_TREEVIEWA, nullptr); }

HTREEITEM NextItem(HWND tree, HTREEITEM item, WPARAM relation) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageW(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

std::string ItemText(HWND tree, HTREEITEM item) {
    if (!item) return "";
    constexpr size_t kChars = MAX_PATH;
    RemoteMemory memory(tree, sizeof(TVITEMW) + kChars * sizeof(wchar_t));
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

}  // namespace

std::string SelectedFolderName(HWND dialog) {
    HWND tree = FolderTree(dialog);
    return ItemText(tree, NextItem(tree, nullptr, TVGN_CARET));
}

bool SelectSiblingFolder(HWND dialog, const std::string& name) {
    HWND tree = FolderTree(dialog);
    HTREEITEM parent = NextItem(tree, NextItem(tree, nullptr, TVGN_CARET), TVGN_PARENT);
    for (HTREEITEM item = NextItem(tree, parent, TVGN_CHILD); item; item = NextItem(tree, item, TVGN_NEXT)) {
        if (ItemText(tree, item) == name) {
            SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
            return SelectedFolderName(dialog) == name;
        }
    }
    return false;
}

bool SelectFolder(HWND dialog, const std::string& path, const std::string& shownName) {
    std::string system = ToSystem(path);
    RemoteMemory memory(dialog, system.size() + 1);
    memory.Write(0, system.c_str(), system.size() + 1);
    auto shown = [&] { return SelectedFolderName(dialog).find(shownName) != std::string::npos; };
    // Posted, not sent: the chooser posts its own selection of the current
    // folder as it opens, and only the queue's order puts this one after it.
    // Wine's dialog now and then ignores a selection while it is still filling
    // its tree, so the request is repeated until the tree shows it.
    bool done = false;
    for (int attempt = 0; attempt < 5 && !done; ++attempt) {
        PostMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(memory.Address()));
        done = WaitUntil(shown, 1000);
    }
    // The path must stay readable in the program until every request is taken.
    Sleep(200);
    return done;
}

}  // namespace e2e
