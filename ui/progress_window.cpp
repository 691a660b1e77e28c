#include "progress_window.h"

#include <commctrl.h>

#include "app_shell.h"
#include "codepage.h"
#include "control_ids.h"
#include "process_state.h"
#include "progress_text.h"
#include "shell_actions.h"

namespace {
constexpr int kClientWidth = 426;
// A row below the buttons for the pause button (and what goes beside it).
constexpr int kClientHeight = 114;
// A caption bar without any buttons, a fixed single border.
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_TOPMOST;
}  // namespace

std::unique_ptr<ProgressWindow> ProgressWindow::Create(HWND mainWindow) {
    auto window = std::make_unique<ProgressWindow>();
    window->CreateControls(mainWindow);
    return window;
}

ProgressWindow::~ProgressWindow() {
    if (Handle()) DestroyWindow(Handle());
}

void ProgressWindow::CreateControls(HWND mainWindow) {
    RegisterWindowClass(VQ_CLASS_PROGRESS_WINDOW, 0);
    font_ = CreateFormFont();

    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    // Owned by the main window so it stays in front of it and goes with it.
    CreateHandle(kExStyle, VQ_CLASS_PROGRESS_WINDOW, SysText("输出"), kStyle, 0, 0,
                 frame.right - frame.left, frame.bottom - frame.top, mainWindow, nullptr);
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);

    // Standard (segmented) style, not PBS_SMOOTH.
    progressBar_ = CreateWindowExA(0, PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 16, 16, 393, 17,
                                   Handle(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS_BAR)),
                                   app::Instance(), nullptr);
    SendMessageA(progressBar_, PBM_SETRANGE32, 0, kProgressBarMax);
    SendMessageA(progressBar_, PBM_SETPOS, 0, 0);

    // The free strip left of the buttons, at their height; one line,
    // centred vertically, cut with an ellipsis rather than wrapped.
    statusLine_ = CreateWindowExA(0, "STATIC", "",
                                  WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX | SS_ENDELLIPSIS,
                                  16, 48, 216 - 16, 24, Handle(),
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS_STATUS_LINE)),
                                  app::Instance(), nullptr);
    SendMessageA(statusLine_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);

    openFolderButton_.Create(Handle(), IDC_PROGRESS_OPEN_FOLDER, RECT{224, 48, 224 + 81, 48 + 24},
                             nullptr, [this] { OnOpenFolderClicked(); });
    openFolderButton_.SetFont(font_.Get());
    openFolderButton_.SetCaption(SysText("打开文件夹"));
    cancelButton_.Create(Handle(), IDC_PROGRESS_CANCEL, RECT{328, 47, 328 + 81, 47 + 24},
                         nullptr, [this] { OnCancelClicked(); });
    cancelButton_.SetFont(font_.Get());
    cancelButton_.SetCaption(SysText("取消"));

    pauseButton_ = CreateWindowExA(0, "BUTTON", SysText("暂停").c_str(), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                   328, 82, 81, 24, Handle(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS_PAUSE)),
                                   app::Instance(), nullptr);
    SendMessageA(pauseButton_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);

    afterBatchLabel_ = CreateWindowExA(0, "STATIC", AfterBatchLabel().c_str(),
                                       WS_CHILD | WS_VISIBLE | SS_LEFT | SS_CENTERIMAGE | SS_NOPREFIX, 16, 82, 56, 24,
                                       Handle(), nullptr, app::Instance(), nullptr);
    SendMessageA(afterBatchLabel_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    // The height includes the dropped list.
    afterBatchList_ = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | CBS_DROPDOWNLIST,
                                      72, 83, 112, 120, Handle(),
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS_AFTER_BATCH)),
                                      app::Instance(), nullptr);
    SendMessageA(afterBatchList_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    for (const std::string& choice : AfterBatchChoices())
        SendMessageA(afterBatchList_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.c_str()));
    SendMessageA(afterBatchList_, CB_SETCURSEL, static_cast<WPARAM>(AfterBatch::Nothing), 0);

    spaceLeft_ = CreateWindowExA(0, "STATIC", "",
                                 WS_CHILD | WS_VISIBLE | SS_RIGHT | SS_CENTERIMAGE | SS_NOPREFIX | SS_ENDELLIPSIS, 192,
                                 82, 320 - 192, 24, Handle(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_PROGRESS_SPACE_LEFT)),
                                 app::Instance(), nullptr);
    SendMessageA(spaceLeft_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
}

void ProgressWindow::ShowSpaceLeft(const std::string& text) {
    // Unchanged text is not set again: every setting repaints the control.
    if (text == shownSpaceLeft_) return;
    shownSpaceLeft_ = text;
    SetWindowTextA(spaceLeft_, text.c_str());
}

AfterBatch ProgressWindow::AfterBatchChoice() const {
    const LRESULT chosen = SendMessageA(afterBatchList_, CB_GETCURSEL, 0, 0);
    if (chosen == static_cast<LRESULT>(AfterBatch::ShutDown)) return AfterBatch::ShutDown;
    if (chosen == static_cast<LRESULT>(AfterBatch::Sleep)) return AfterBatch::Sleep;
    return AfterBatch::Nothing;
}

void ProgressWindow::ShowPause(bool paused, bool enabled) {
    const int shown = (paused ? 2 : 0) + (enabled ? 1 : 0);
    if (shown == shownPause_) return;
    shownPause_ = shown;
    SetWindowTextA(pauseButton_, SysText(paused ? "继续" : "暂停").c_str());
    EnableWindow(pauseButton_, enabled);
}

int ProgressWindow::ShowModal() {
    if (!shownBefore_) {
        CenterOnScreen(Handle());
        shownBefore_ = true;
    }
    return RunModal(Handle(), modalResult_);
}

void ProgressWindow::SetCaption(const std::string& caption) {
    shownCaption_ = caption;
    SetWindowTextA(Handle(), caption.c_str());
}

void ProgressWindow::SetProgress(int position) {
    if (position > kProgressBarMax) position = kProgressBarMax;
    if (position < 0) position = 0;
    SendMessageA(progressBar_, PBM_SETPOS, position, 0);
}

int ProgressWindow::ProgressPosition() const {
    return static_cast<int>(SendMessageA(progressBar_, PBM_GETPOS, 0, 0));
}

int ProgressWindow::ProgressMax() const {
    return static_cast<int>(SendMessageA(progressBar_, PBM_GETRANGE, FALSE, 0));
}

void ProgressWindow::ShowBatch(int position, const std::string& caption, const std::string& statusLine) {
    // Unchanged values are not set again: every setting repaints the control.
    if (position != ProgressPosition()) SetProgress(position);
    if (!caption.empty() && caption != shownCaption_) SetCaption(caption);
    SetStatusLine(statusLine);
}

void ProgressWindow::SetStatusLine(const std::string& text) {
    // Unchanged text is not set again: every setting repaints the control.
    if (text == shownStatus_) return;
    shownStatus_ = text;
    SetWindowTextA(statusLine_, text.c_str());
}

void ProgressWindow::OnOpenFolderClicked() { OpenFolder(Handle(), Settings.Output); }

void ProgressWindow::OnCancelClicked() {
    // The window closes at once; a cancelled worker finishes its row alone.
    if (cancelAction_) cancelAction_();
    modalResult_ = IDCANCEL;
}

LRESULT ProgressWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        return 0;  // only the cancel button closes this window
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_PROGRESS_PAUSE && HIWORD(wParam) == BN_CLICKED && pauseAction_) pauseAction_();
        return 0;
    case WM_ERASEBKGND: {
        RECT client{};
        GetClientRect(Handle(), &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return 1;
    }
    }
    return Default(message, wParam, lParam);
}
