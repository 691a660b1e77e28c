#pragma once
// Drives a running Windows program from outside, the way a user would: finds
// its windows, clicks, types, reads captions, list rows and message boxes.
// Made for the program's end-to-end tests under Wine, usable for any of its
// windows.
//
// Texts: every text this library takes or returns is UTF-8 (test sources are
// UTF-8); texts read from or written to the program are converted from and
// to the system code page here.
//
// Waiting: everything that waits polls every 10 ms until a time limit and
// then fails (returns null/false); a limit is a fail-safe against a hung
// program, never a measurement.
//
// Typical use (see tests/e2e/scenario.h for the fixture that starts the
// program in a fresh folder):
//     HWND form = e2e::WaitForWindow(pid, VQ_CLASS_MAIN_WINDOW, "Vidquill");
//     e2e::Click(e2e::Control(form, IDC_START));          // BM_CLICK, posted
//     e2e::MessageBoxInfo box = e2e::WaitForMessageBox(pid);
//     EXPECT_EQ(box.text, "请添加视频文件到列表");
//     e2e::PressOk(box);
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace e2e {

constexpr int kDefaultWait = 10000;  // ms

// --- texts ------------------------------------------------------------------
std::string ToUtf8(const std::string& systemText);
std::string ToSystem(const std::string& utf8);
std::string WideToUtf8(const std::wstring& wide);

// --- waiting ----------------------------------------------------------------
// Polls `condition` every 10 ms; true as soon as it holds, false after `ms`.
bool WaitUntil(const std::function<bool()>& condition, int ms = kDefaultWait);

// Waits until the program's UI thread has handled everything queued for it
// and waits for input (WaitForInputIdle).
bool WaitForIdle(DWORD pid, int ms = kDefaultWait);

// --- finding windows ----------------------------------------------------------
// Visible top-level windows of process `pid`; `className` and `title` (UTF-8)
// filter when not null/empty.
std::vector<HWND> TopWindows(DWORD pid, const char* className = nullptr,
                             const std::string& title = "");
HWND WaitForWindow(DWORD pid, const char* className, const std::string& title = "",
                   int ms = kDefaultWait);
// True once no visible window of that class (and title) is left.
bool WaitForWindowGone(DWORD pid, const char* className, const std::string& title = "",
                       int ms = kDefaultWait);
HWND Control(HWND parent, int id);

// --- reading ------------------------------------------------------------------
std::string WindowText(HWND window);
RECT WindowRect(HWND window);  // screen coordinates

// A message box or other dialog of the program: its caption and the text of
// its static control 65535 (a message box's text).
struct MessageBoxInfo {
    HWND window = nullptr;
    std::string caption;
    std::string text;
    bool hasStopIcon = false;         // the error icon (style 0x10)
    bool hasExclamationIcon = false;  // the warning icon (style 0x30)
};
// Waits for a visible dialog window (class #32770) of `pid` that has a
// static control 65535; null window on time-out.
MessageBoxInfo WaitForMessageBox(DWORD pid, int ms = kDefaultWait);
// Presses OK (control 1) and waits until the box has gone.
bool PressOk(const MessageBoxInfo& box, int ms = kDefaultWait);

// --- list views (cross-process) ------------------------------------------------
int ListRowCount(HWND list);
// Every row's texts, `columns` columns each.
std::vector<std::vector<std::string>> ReadListRows(HWND list, int columns);
int ListSelectedRow(HWND list);  // -1 when none
// The row's rectangle in the list's client coordinates.
RECT ListRowRect(HWND list, int row);

// --- input ----------------------------------------------------------------------
// Posted, not sent: a click that opens a modal window must not block the driver.
void Click(HWND button);
// A left click (button down and up) at a point of `window`'s client area, as
// posted mouse messages.
void PostLeftClick(HWND window, POINT client);
// A right-button press and release at a point of `window`'s client area.
void PostRightClick(HWND window, POINT client);
// Real input through the system's input queue (SendInput): moves the
// pointer, presses and releases the left button. MovePointer returns once
// the pointer has settled at `screen` as far as `program` (any window of the
// program's UI thread) has seen, so a press that follows is taken there;
// false if it never settles.
bool MovePointer(HWND program, POINT screen, int ms = kDefaultWait);
void LeftButton(bool down);

// What the UI thread that owns `window` is doing with the pointer
// (GetGUIThreadInfo): the window holding the mouse capture, and whether a
// window move or resize is running.
struct PointerState {
    HWND capture = nullptr;
    bool inMoveSize = false;
};
PointerState PointerStateOf(HWND window);
// Waits until that thread's state satisfies `condition`.
bool WaitForPointerState(HWND window, const std::function<bool(const PointerState&)>& condition,
                         int ms = kDefaultWait);
// A key press and release posted to `window`'s thread queue (menus read
// keys from there).
void PostKey(HWND window, WORD virtualKey);

// Drops files on `window` as the shell does (WM_DROPFILES, wide names),
// `paths` in order. Under Wine a block of memory written into the program
// serves as the drop handle; it is freed once `done` holds (or after the
// wait).
bool DropFiles(HWND window, const std::vector<std::string>& paths,
               const std::function<bool()>& done, int ms = kDefaultWait);

// --- menus ----------------------------------------------------------------------
// The visible pop-up menu window of `pid` (class #32768), or null.
HWND WaitForPopupMenu(DWORD pid, int ms = kDefaultWait);
// Chooses item `index` (0-based) of the open pop-up menu with the keyboard,
// through `owner` (the window that opened it).
void ChooseMenuItem(HWND owner, int index);
void CloseMenu(HWND owner);

// --- the file-open dialog -----------------------------------------------------------
// In the open dialog of `pid`: goes to `folder` (a Windows path), then
// chooses `names` in that folder, in that order. True when the dialog closed.
bool ChooseFilesInOpenDialog(DWORD pid, const std::string& folder,
                             const std::vector<std::string>& names, int ms = kDefaultWait);
bool CancelOpenDialog(DWORD pid, int ms = kDefaultWait);
// The names of the open dialog's file types in their order, and the one
// selected; the dialog stays open.
std::vector<std::string> OpenDialogFileTypes(DWORD pid, int* selected, int ms = kDefaultWait);

}  // namespace e2e
