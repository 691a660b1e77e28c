#include "OutputUnit.h"

#include <commctrl.h>

#include "app_shell.h"
#include "codepage.h"
#include "control_ids.h"
#include "process_state.h"
#include "shell_actions.h"

TOutputForm* OutputForm = nullptr;

namespace {
constexpr int kClientWidth = 426;
constexpr int kClientHeight = 82;
constexpr int kProgressMax = 2000;
// A caption bar without any buttons, a fixed single border.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOPMOST;
}  // namespace

std::unique_ptr<TOutputForm> TOutputForm::CreateForm(HWND mainWindow) {
    auto form = std::make_unique<TOutputForm>();
    OutputForm = form.get();
    form->CreateComponents(mainWindow);
    return form;
}

TOutputForm::~TOutputForm() {
    if (Handle()) DestroyWindow(Handle());
    if (OutputForm == this) OutputForm = nullptr;
}

void TOutputForm::CreateComponents(HWND mainWindow) {
    RegisterWindowClass(VQ_CLASS_OUTPUTFORM, 0);
    font_ = CreateFormFont();

    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    // Owned by the main window so it stays in front of it and goes with it.
    CreateHandle(kExStyle, VQ_CLASS_OUTPUTFORM, SysText("输出"), kStyle, 0, 0,
                 frame.right - frame.left, frame.bottom - frame.top, mainWindow, nullptr);
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);

    // Standard (segmented) style, not PBS_SMOOTH.
    ProgressBar1 = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 16, 16, 393, 17,
                                   Handle(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_OUTPUT_PROGRESSBAR1)),
                                   app::Instance(), nullptr);
    SendMessageA(ProgressBar1, PBM_SETRANGE32, 0, kProgressMax);
    SendMessageA(ProgressBar1, PBM_SETPOS, 0, 0);

    // The free strip left of the buttons, at their height; one line,
    // centred vertically, cut with an ellipsis rather than wrapped.
    StatusLine = CreateWindowExA(0, "STATIC", "",
                                 WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | SS_ENDELLIPSIS,
                                 16, 48, 216 - 16, 24, Handle(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_OUTPUT_STATUSLINE)),
                                 app::Instance(), nullptr);
    SendMessageA(StatusLine, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);

    SpeedButton1.Create(Handle(), IDC_OUTPUT_SPEEDBUTTON1, RECT{224, 48, 224 + 81, 48 + 24},
                        nullptr, [this] { SpeedButton1Click(); });
    SpeedButton1.SetFont(font_.Get());
    SpeedButton1.SetCaption(SysText("打开文件夹"));
    SpeedButton2.Create(Handle(), IDC_OUTPUT_SPEEDBUTTON2, RECT{328, 47, 328 + 81, 47 + 24},
                        nullptr, [this] { SpeedButton2Click(); });
    SpeedButton2.SetFont(font_.Get());
    SpeedButton2.SetCaption(SysText("取消"));
}

int TOutputForm::ShowModal() {
    if (!shownBefore_) {
        CenterOnScreen(Handle());
        shownBefore_ = true;
    }
    return RunModal(Handle(), modalResult_);
}

void TOutputForm::SetCaption(const std::string& caption) { SetWindowTextA(Handle(), caption.c_str()); }

void TOutputForm::SetProgress(int position) {
    if (position > kProgressMax) position = kProgressMax;
    if (position < 0) position = 0;
    SendMessageA(ProgressBar1, PBM_SETPOS, position, 0);
}

int TOutputForm::ProgressPosition() const {
    return static_cast<int>(SendMessageA(ProgressBar1, PBM_GETPOS, 0, 0));
}

int TOutputForm::ProgressMax() const {
    return static_cast<int>(SendMessageA(ProgressBar1, PBM_GETRANGE, FALSE, 0));
}

void TOutputForm::ShowEncoderProgress(int position, const std::string& statusLine) {
    if (position >= 0) {
        encoderReports_ = true;
        if (position > ProgressPosition()) SetProgress(position);
    }
    SetStatusLine(statusLine);
}

void TOutputForm::EndEncoderProgress() {
    encoderReports_ = false;
    SetStatusLine("");
}

void TOutputForm::SetStatusLine(const std::string& text) {
    // Unchanged text is not set again: every setting repaints the control.
    if (text == statusLine_) return;
    statusLine_ = text;
    SetWindowTextA(StatusLine, text.c_str());
}

void TOutputForm::SpeedButton1Click() { OpenFolder(Handle(), Settings.Output); }

void TOutputForm::SpeedButton2Click() {
    // The window closes at once; a cancelled worker finishes its row alone.
    if (cancelAction_) cancelAction_();
    modalResult_ = IDCANCEL;
}

LRESULT TOutputForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        return 0;  // only SpeedButton2 closes this window
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(Handle(), &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    }
    return Default(message, wParam, lParam);
}
