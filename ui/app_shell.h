#pragma once
// What every window of the program shares: the instance, the main window,
// the application's error box, the message boxes and the modal loop.
#include <windows.h>

#include <string>
#include <vector>

#include "win_handles.h"

namespace app {

HINSTANCE Instance();
void SetInstance(HINSTANCE instance);

// The main window once it exists; the owner of the program's message boxes.
HWND MainWindow();
void SetMainWindow(HWND window);

// The application's title: the executable's name, cut before its first
// '.', lower case after the first character ("Vidquill").
const std::string& Title();

}  // namespace app

// The application's error box: ErrorBoxText(message), the title as caption,
// stop icon and OK (style 0x10).
void ShowErrorBox(const std::string& message);

// Shows the exception being handled in the error box. Call it only inside a
// catch block. An exception that is not a std::exception shows an empty text.
void ShowCurrentException() noexcept;

// Runs `handler` so that no exception leaves it: every event handler and
// window procedure of the program goes through here, because an exception
// must never unwind through Windows code.
template <typename Handler>
void Guarded(Handler&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        ShowCurrentException();
    }
}

// The program's own messages: exclamation icon and OK (style 0x30), texts
// already in the system code page.
void ShowMessage(const std::string& text, const std::string& caption);
// The same box with Yes and No instead of OK; true for Yes. `defaultNo`
// makes No the button Enter presses, for questions where Yes risks something.
bool AskYesNo(const std::string& text, const std::string& caption, bool defaultNo = false);

// Disables every visible, enabled top-level window of the calling thread for
// one scope (except `keep`) and enables exactly those again at its end: what
// a modal window or dialog does to the rest of the program.
class DisabledThreadWindows {
public:
    explicit DisabledThreadWindows(HWND keep = nullptr);
    DisabledThreadWindows(const DisabledThreadWindows&) = delete;
    DisabledThreadWindows& operator=(const DisabledThreadWindows&) = delete;
    ~DisabledThreadWindows() { EnableAgain(); }
    // Early re-enabling, e.g. before a modal window hides, so that Windows
    // hands the activation back to the owner and not to another program.
    void EnableAgain();

private:
    static BOOL CALLBACK DisableOne(HWND window, LPARAM self);
    HWND keep_;
    std::vector<HWND> disabled_;
};

// What the keyboard does in a modal window: nothing special, or what it does
// in a dialog (Tab and the arrows move between controls, Enter presses the
// default button, Escape sends IDCANCEL).
enum class ModalKeys { Window, Dialog };

// Modal showing as the program's forms do it: the thread's other enabled
// windows are disabled, `window` is shown (restored when minimised) and
// brought to the front, and messages are pumped until `modalResult` becomes
// non-zero; then the others are enabled again and `window` is hidden. A
// WM_QUIT ends the loop with IDCANCEL and is posted again.
int RunModal(HWND window, int& modalResult, ModalKeys keys = ModalKeys::Window);

// The main message loop; returns when WM_QUIT arrives.
void RunMessageLoop();

// A window handle's position (left, top) and size on the screen.
RECT ScreenRectOf(HWND window);

// Centres `window` on the primary screen.
void CenterOnScreen(HWND window);

// The windows' font: "宋体", character height 12 pixels, GB2312 character set.
UniqueFont CreateFormFont();
