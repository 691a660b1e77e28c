#include "app_shell.h"

#include <exception>

#include "app_error.h"
#include "codepage.h"
#include "win32/executable_path.h"

namespace {
HINSTANCE g_instance = nullptr;
HWND g_mainWindow = nullptr;
}  // namespace

namespace app {

HINSTANCE Instance() { return g_instance; }
void SetInstance(HINSTANCE instance) { g_instance = instance; }
HWND MainWindow() { return g_mainWindow; }
void SetMainWindow(HWND window) { g_mainWindow = window; }

const std::string& Title() {
    static const std::string title = ApplicationTitle(ExecutablePath());
    return title;
}

}  // namespace app

namespace {

// The box belongs to the window the user is working in (a modal window when
// one is open), so it stays in front of it and blocks it.
HWND MessageOwner() {
    HWND active = GetActiveWindow();
    if (active) return active;
    HWND main = app::MainWindow();
    return (main && IsWindowVisible(main)) ? main : nullptr;
}

}  // namespace

void ShowErrorBox(const std::string& message) {
    MessageBoxA(MessageOwner(), ErrorBoxText(message).c_str(), app::Title().c_str(),
                MB_OK | MB_ICONSTOP);
}

void ShowCurrentException() noexcept {
    try {
        std::string message;
        try {
            throw;
        } catch (const std::exception& e) {
            message = e.what();
        } catch (...) {
            // Anything else carries no message we could show.
        }
        ShowErrorBox(message);
    } catch (...) {
        // Building the text failed (out of memory): nothing more can be shown.
    }
}

void ShowMessage(const std::string& text, const std::string& caption) {
    MessageBoxA(MessageOwner(), text.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

bool AskYesNo(const std::string& text, const std::string& caption, bool defaultNo) {
    return MessageBoxA(MessageOwner(), text.c_str(), caption.c_str(),
                       MB_YESNO | MB_ICONEXCLAMATION | (defaultNo ? MB_DEFBUTTON2 : 0)) == IDYES;
}

DisabledThreadWindows::DisabledThreadWindows(HWND keep) : keep_(keep) {
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(this));
}

BOOL CALLBACK DisabledThreadWindows::DisableOne(HWND window, LPARAM self) {
    auto* state = reinterpret_cast<DisabledThreadWindows*>(self);
    if (window != state->keep_ && IsWindowVisible(window) && IsWindowEnabled(window)) {
        // Remembered before it is disabled: were remembering to fail (out of
        // memory), no window may stay disabled for good, and no exception may
        // unwind through the system's enumeration.
        try {
            state->disabled_.push_back(window);
        } catch (...) {
            return FALSE;
        }
        EnableWindow(window, FALSE);
    }
    return TRUE;
}

void DisabledThreadWindows::EnableAgain() {
    for (HWND window : disabled_) {
        if (IsWindow(window)) EnableWindow(window, TRUE);
    }
    disabled_.clear();
}

int RunModal(HWND window, int& modalResult, ModalKeys keys) {
    DisabledThreadWindows others(window);
    modalResult = 0;
    ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
    // A program that is not in the foreground cannot take it; the window
    // then is at least the active one of its thread.
    if (!SetForegroundWindow(window)) SetActiveWindow(window);

    MSG msg;
    while (modalResult == 0) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {  // the program is ending: leave and let the outer loop see it
            PostQuitMessage(static_cast<int>(msg.wParam));
            modalResult = IDCANCEL;
            break;
        }
        if (got == -1) {
            modalResult = IDCANCEL;
            break;
        }
        if (keys == ModalKeys::Dialog && IsDialogMessageA(window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }

    // Enabled before hiding, or Windows activates another program's window.
    others.EnableAgain();
    ShowWindow(window, SW_HIDE);
    return modalResult;
}

void RunMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

RECT ScreenRectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

void CenterOnScreen(HWND window) {
    RECT r = ScreenRectOf(window);
    int w = r.right - r.left, h = r.bottom - r.top;
    int x = (GetSystemMetrics(SM_CXSCREEN) - w) / 2;
    int y = (GetSystemMetrics(SM_CYSCREEN) - h) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

UniqueFont CreateFormFont() {
    LOGFONTA font{};
    font.lfHeight = -12;  // negative: the character height, not the cell height
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = GB2312_CHARSET;
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    const std::string& face = SysText("宋体");
    face.copy(font.lfFaceName, LF_FACESIZE - 1);
    return UniqueFont(CreateFontIndirectA(&font));
}
