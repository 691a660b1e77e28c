#include "countdown_window.h"

#include "app_shell.h"
#include "codepage.h"
#include "control_ids.h"

namespace {
constexpr int kClientWidth = 300;
constexpr int kClientHeight = 88;
constexpr UINT_PTR kTickTimer = 1;
// A caption with only the close box, which cancels like the button does;
// in front of everything, as the user may be in another program.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_DLGMODALFRAME;
}  // namespace

bool CountdownWindow::Run(HWND owner, AfterBatch action, PowerAction& power, int seconds, int tickMilliseconds) {
    CountdownWindow window(action, power, seconds);
    window.CreateControls(owner);
    CenterOnScreen(window.Handle());
    SetTimer(window.Handle(), kTickTimer, static_cast<UINT>(tickMilliseconds), nullptr);
    RunModal(window.Handle(), window.modalResult_);
    KillTimer(window.Handle(), kTickTimer);
    return window.countdown_.CarriedOut();
}

CountdownWindow::~CountdownWindow() {
    if (Handle()) DestroyWindow(Handle());
}

void CountdownWindow::CreateControls(HWND owner) {
    RegisterWindowClass(VQ_CLASS_COUNTDOWN_WINDOW, 0);
    font_ = CreateFormFont();
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    CreateHandle(kExStyle, VQ_CLASS_COUNTDOWN_WINDOW, SysText("注意"), kStyle, 0, 0, frame.right - frame.left,
                 frame.bottom - frame.top, owner, nullptr);
    text_ = CreateWindowExA(0, "STATIC", countdown_.Text().c_str(), WS_CHILD | WS_VISIBLE | SS_CENTER | SS_NOPREFIX,
                            16, 18, kClientWidth - 32, 20, Handle(),
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_COUNTDOWN_TEXT)), app::Instance(),
                            nullptr);
    SendMessageA(text_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    cancelButton_ = CreateWindowExA(0, "BUTTON", SysText("取消").c_str(),
                                    WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, (kClientWidth - 81) / 2, 50,
                                    81, 24, Handle(),
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_COUNTDOWN_CANCEL)),
                                    app::Instance(), nullptr);
    SendMessageA(cancelButton_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
}

void CountdownWindow::OnTick() {
    if (countdown_.Tick()) {
        KillTimer(Handle(), kTickTimer);
        modalResult_ = IDOK;
        return;
    }
    SetWindowTextA(text_, countdown_.Text().c_str());
}

void CountdownWindow::OnCancelClicked() {
    countdown_.Cancel();
    KillTimer(Handle(), kTickTimer);
    modalResult_ = IDCANCEL;
}

LRESULT CountdownWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kTickTimer) OnTick();
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_COUNTDOWN_CANCEL || LOWORD(wParam) == IDCANCEL) OnCancelClicked();
        return 0;
    case WM_CLOSE:
        OnCancelClicked();
        return 0;
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(Handle(), &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    case WM_CTLCOLORSTATIC:
        SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    return Default(message, wParam, lParam);
}
