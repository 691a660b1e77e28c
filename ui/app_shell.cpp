#include "app_shell.h"

#include <exception>
#include <vector>

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

namespace {

struct DisabledWindows {
    HWND keep;
    std::vector<HWND> windows;
};

BOOL CALLBACK DisableOne(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<DisabledWindows*>(param);
    if (window != state->keep && IsWindowVisible(window) && IsWindowEnabled(window)) {
        EnableWindow(window, FALSE);
        state->windows.push_back(window);
    }
    return TRUE;
}

}  // namespace

int RunModal(HWND window, int& modalResult) {
    DisabledWindows disabled{window, {}};
    EnumThreadWindows(GetCurrentThreadId(), DisableOne, reinterpret_cast<LPARAM>(&disabled));
    modalResult = 0;
    ShowWindow(window, SW_SHOW);
    SetActiveWindow(window);

    MSG msg;
    while (modalResult == 0) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            if (modalResult == 0) modalResult = IDCANCEL;
            break;
        }
        if (got == -1) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }

    // Enable the owners before hiding, or Windows activates another program.
    for (HWND w : disabled.windows) {
        if (IsWindow(w)) EnableWindow(w, TRUE);
    }
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
