#include "Unit1.h"

#include <commctrl.h>
#include <shellapi.h>

#include "FolderChooser.h"
#include "OutputUnit.h"
#include "SettingUnit.h"
#include "app_shell.h"
#include "codepage.h"
#include "control_ids.h"
#include "file_selection.h"
#include "first_start.h"
#include "ini_file.h"
#include "number_text.h"
#include "open_dialog.h"
#include "process_state.h"
#include "program_config.h"
#include "resource_ids.h"
#include "settings_store.h"
#include "shell_actions.h"
#include "skin_layout.h"
#include "source_files.h"
#include "win32/system_services.h"

TForm1* Form1 = nullptr;

namespace {

constexpr UINT_PTR kTimer1 = 1;

}  // namespace

std::unique_ptr<TForm1> TForm1::CreateForm() {
    auto form = std::make_unique<TForm1>();
    Form1 = form.get();
    form->CreateComponents();
    Guarded([&] { form->FormCreate(); });
    return form;
}

TForm1::~TForm1() {
    // The worker still hands calls to this window while it ends.
    Worker.reset();
    // Destroyed here, while every member still exists: destroying the
    // children sends this window notifications.
    if (Handle()) DestroyWindow(Handle());
    if (Form1 == this) Form1 = nullptr;
}

void TForm1::CreateComponents() {
    RegisterWindowClass(VQ_CLASS_FORM1, CS_DBLCLKS,
                        LoadIconA(app::Instance(), MAKEINTRESOURCEA(IDI_VIDQUILL)));
    font_ = CreateFormFont();
    skin_.Reset(static_cast<HBITMAP>(LoadImageA(app::Instance(), MAKEINTRESOURCEA(IDB_SKIN),
                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));

    // No frame and no caption bar; the system menu and the minimise box only
    // make the window minimisable (and restorable from the taskbar).
    CreateHandle(WS_EX_APPWINDOW, VQ_CLASS_FORM1, "Vidquill",
                 WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, kSkinWidth,
                 kSkinHeight, nullptr, nullptr);
    app::SetMainWindow(Handle());
    CenterOnScreen(Handle());
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);

    // The small icon as well as the big one: the 32x32 picture scaled.
    icon_.Reset(static_cast<HICON>(LoadImageA(app::Instance(), MAKEINTRESOURCEA(IDI_VIDQUILL),
                                              IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                              GetSystemMetrics(SM_CYSMICON), 0)));
    if (icon_) SendMessageA(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_.Get()));

    {
        WindowDc screen(Handle());
        skinDc_.Reset(CreateCompatibleDC(screen.Dc()));
        if (skin_) SelectObject(skinDc_.Get(), skin_.Get());
    }

    hints_.Create(Handle());
    AddFlatButton(SpeedButton1, IDC_SPEEDBUTTON1, kSpeedButton1Bounds, "添加视频文件", &TForm1::SpeedButton1Click);
    AddFlatButton(SpeedButton4, IDC_SPEEDBUTTON4, kSpeedButton4Bounds, "开始", &TForm1::SpeedButton4Click);
    AddFlatButton(SpeedButton5, IDC_SPEEDBUTTON5, kSpeedButton5Bounds, "设置", &TForm1::SpeedButton5Click);
    AddFlatButton(SpeedButton6, IDC_SPEEDBUTTON6, kSpeedButton6Bounds, "帮助", &TForm1::SpeedButton6Click);
    AddFlatButton(SpeedButton8, IDC_SPEEDBUTTON8, kSpeedButton8Bounds, nullptr, &TForm1::SpeedButton8Click);
    AddFlatButton(SpeedButton9, IDC_SPEEDBUTTON9, kSpeedButton9Bounds, nullptr, &TForm1::SpeedButton9Click);
    AddFlatButton(SpeedButton3, IDC_SPEEDBUTTON3, kSpeedButton3Bounds, "选择输出文件夹", &TForm1::SpeedButton3Click);
    AddFlatButton(SpeedButton10, IDC_SPEEDBUTTON10, kSpeedButton10Bounds, nullptr, &TForm1::Delete1Click);
    SpeedButton10.SetFont(font_.Get());
    SpeedButton10.SetCaption(SysText("移除"));

    ListView1.Create(Handle(), IDC_LISTVIEW1, kListView1Bounds, font_.Get(), Jobs,
                     [this](int x, int y) { ListView1MouseDown(x, y); });

    PopupMenu1.Reset(CreatePopupMenu());
    AppendMenuA(PopupMenu1.Get(), MF_STRING, IDM_DELETE1, SysText("移除").c_str());
    AppendMenuA(PopupMenu1.Get(), MF_STRING, IDM_ADD1, SysText("添加").c_str());
    PopupMenu2.Reset(CreatePopupMenu());
    AppendMenuA(PopupMenu2.Get(), MF_STRING, IDM_SUBMITQUESTIONORBUG1, SysText("提交问题").c_str());
    AppendMenuA(PopupMenu2.Get(), MF_STRING, IDM_HOMEPAGE1, SysText("官方网站").c_str());

    DragAcceptFiles(Handle(), TRUE);

    dispatcher_ = std::make_unique<UiDispatcher>();
    workerUi_ = std::make_unique<MarshalledWorkerUi>(*this, *dispatcher_);
    taskbar_ = std::make_unique<Win32TaskbarProgress>(Handle(), *dispatcher_);
}

void TForm1::AddFlatButton(FlatButton& button, int id, const RECT& bounds, const char* hintUtf8,
                           void (TForm1::*handler)()) {
    button.Create(Handle(), id, bounds,
                  [this](HDC dc, const RECT& area) { PaintSkinPart(dc, area); },
                  [this, handler] { (this->*handler)(); });
    if (hintUtf8) hints_.Add(button.Handle(), SysText(hintUtf8));
}

void TForm1::Show() {
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
}

LRESULT TForm1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        PaintSkin();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the skin covers everything
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        Image1MouseDown(message);
        return 0;
    case WM_COMMAND:
        Command(LOWORD(wParam));
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_LISTVIEW1) ListView1.HandleNotify(*header);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kTimer1) Timer1Timer();
        return 0;
    case WM_CLOSE:
        FormClose();  // a refused write throws: the window stays and the error box says why
        ShowWindow(Handle(), SW_HIDE);
        PostQuitMessage(0);
        return 0;
    case WM_DROPFILES:
        FormDropFiles(reinterpret_cast<HDROP>(wParam));
        return 0;
    case WM_SETTINGCHANGE:
        RefreshDecimalMark();
        break;
    }
    return Default(message, wParam, lParam);
}

void TForm1::Command(int id) {
    switch (id) {
    case IDM_DELETE1: Delete1Click(); break;
    case IDM_ADD1: SpeedButton1Click(); break;
    case IDM_SUBMITQUESTIONORBUG1: SubmitQuestionorBug1Click(); break;
    case IDM_HOMEPAGE1: HomePage1Click(); break;
    }
}

void TForm1::PaintSkinPart(HDC dc, const RECT& area) const {
    int w = area.right - area.left, h = area.bottom - area.top;
    if (skin_) {
        BitBlt(dc, 0, 0, w, h, skinDc_.Get(), area.left, area.top, SRCCOPY);
    } else {
        RECT r{0, 0, w, h};
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    }
}

void TForm1::PaintSkin() {
    PaintScope paint(Handle());
    const RECT& area = paint.Area();
    // Straight from the skin's memory copy, which is the off-screen buffer:
    // nothing is erased first, so nothing flickers.
    HDC dc = paint.Dc();
    SetViewportOrgEx(dc, area.left, area.top, nullptr);
    PaintSkinPart(dc, area);
    SetViewportOrgEx(dc, 0, 0, nullptr);
}

// --- creation and closing -----------------------------------------------

void TForm1::FormCreate() {
    InstallEncoder();
    // Painting goes through the skin's off-screen copy and the background is
    // never erased (WM_PAINT, WM_ERASEBKGND): nothing more to switch on here.
    std::string path = ProgramConfigPath();
    if (ApplyFirstStart(*MakeSystemFirstStart(), path, Settings, Jobs.NextNumber)) {
        InvalidateRect(Handle(), nullptr, FALSE);
        return;
    }
    auto ini = MakeSystemIniFile();
    LoadSettings(*ini, path, Settings, Jobs.NextNumber);
    InvalidateRect(Handle(), nullptr, FALSE);
    Settings.Output = ReadOutput(*ini, path);
}

void TForm1::FormClose() {
    auto ini = MakeSystemIniFile();
    std::string path = ProgramConfigPath();
    SaveSettings(*ini, path, Settings);
    WriteOutput(*ini, path, Settings.Output);
}

void TForm1::FormDestroy() {
    if (Worker) {
        // As the cancel button does: a running encoder is stopped rather
        // than waited for, and its unfinished files go.
        StopEncoder(Worker.get());
        Worker.reset();  // waits for the thread, carrying out its hand-offs
    }
}

// --- buttons and menus ----------------------------------------------------

void TForm1::AddFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) Jobs.AddJob(path, Settings.Output);
}

void TForm1::SpeedButton1Click() {
    Win32SourceFileSystem files;
    AddAccepted(AcceptChosenFiles(RunOpenDialog(Handle()), files));
}

void TForm1::FormDropFiles(HDROP drop) {
    Win32SourceFileSystem files;
    AddAccepted(AcceptDroppedFiles(ReadDroppedPaths(drop), files));
}

void TForm1::AddAccepted(const AcceptedFiles& accepted) {
    AddFiles(accepted.paths);
    InvalidateRect(Handle(), nullptr, FALSE);
    ReportNotAdded(Handle(), accepted.notAdded);
}

void TForm1::Delete1Click() { Jobs.RemoveSelected(); }

void TForm1::SpeedButton3Click() {
    InstallCenterDialogHook();
    if (SelectOutputFolder(SysText("请选择目录"), Settings.Output)) {
        InvalidateRect(Handle(), nullptr, FALSE);
    }
}

void TForm1::SpeedButton4Click() {
    if (Jobs.Count() == 0) {
        ShowMessage(SysText("请添加视频文件到列表"), SysText("错误"));
        return;
    }
    // A cancelled batch's worker may still be finishing its row; the new one
    // must not work on the list beside it.
    if (Worker) Worker->WaitFor();

    PrepareOutputForm();
    Jobs.ClearStatuses();
    OutputForm->SetProgress(0);
    Worker = std::make_unique<TestThread>(*workerUi_, BatchServices(), dispatcher_->NewEndSignal());
    Worker->Resume();
    OutputForm->ShowModal();
}

void TForm1::PrepareOutputForm() {
    OutputForm->SetCaption("Output");
    OutputForm->SetCancelCaption(SysText("取消"));
    OutputForm->SetCancelAction([this] { StopEncoder(Worker.get()); });
}

WorkerServices TForm1::BatchServices() {
    WorkerServices services = SystemWorkerServices();
    services.taskbar = taskbar_.get();
    return services;
}

void TForm1::SpeedButton5Click() { SettingForm->ShowModal(Handle()); }

void TForm1::SpeedButton6Click() {
    RECT form = ScreenRectOf(Handle());
    SetForegroundWindow(Handle());
    int id = TrackPopupMenu(PopupMenu2.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON |
                                                  TPM_RETURNCMD | TPM_NONOTIFY,
                            form.left + 323, form.top + 75, 0, Handle(), nullptr);
    Command(id);
}

void TForm1::SpeedButton8Click() {
    // There is no separate application window: the main window stands for
    // the program on the taskbar, so it is the one minimised.
    SendMessageA(Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void TForm1::SpeedButton9Click() { SendMessageA(Handle(), WM_CLOSE, 0, 0); }

void TForm1::Image1MouseDown(UINT message) {
    if (message != WM_LBUTTONDOWN) return;
    ReleaseCapture();
    SendMessageA(Handle(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void TForm1::ListView1MouseDown(int x, int y) {
    RECT form = ScreenRectOf(Handle());
    SetForegroundWindow(Handle());
    int id = TrackPopupMenu(PopupMenu1.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON |
                                                  TPM_RETURNCMD | TPM_NONOTIFY,
                            form.left + kListView1Bounds.left + x,
                            form.top + kListView1Bounds.top + y, 0, Handle(), nullptr);
    Command(id);
}

void TForm1::SubmitQuestionorBug1Click() { WriteToSupport(); }

void TForm1::HomePage1Click() { OpenHomePage(ShellOpenNoOwner); }

// --- progress ---------------------------------------------------------------

void TForm1::Timer1Timer() {
    // Time stands in for the work only while the encoder reports none.
    if (!OutputForm->EncoderReportsProgress()) OutputForm->SetProgress(OutputForm->ProgressPosition() + 1);
    int position = CurrentJob;
    // After a cancel the user may remove rows before the worker's timer is
    // stopped; a row that is gone names nothing.
    if (position < 0 || position >= Jobs.Count()) return;
    const ConversionJob& job = Jobs.Row(position);
    OutputForm->SetCaption(FileNameOf(job.Source) + " >> " + FileNameOf(job.Target));
}

void TForm1::StartProgressTimer() {
    OutputForm->EndEncoderProgress();
    SetTimer(Handle(), kTimer1, 1000, nullptr);
}

void TForm1::StopProgressTimer() {
    KillTimer(Handle(), kTimer1);
    OutputForm->EndEncoderProgress();
}

void TForm1::ShowEncoderProgress(int position, const std::string& statusLine) {
    OutputForm->ShowEncoderProgress(position, statusLine);
}
void TForm1::SetProgress(int position) { OutputForm->SetProgress(position); }
int TForm1::ProgressPosition() { return OutputForm->ProgressPosition(); }
int TForm1::ProgressMax() { return OutputForm->ProgressMax(); }

void TForm1::RedrawMainWindow() {
    RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

int TForm1::RowCount() { return Jobs.Count(); }

bool TForm1::ReadRow(int position, ConversionJob& job) {
    if (position < 0 || position >= Jobs.Count()) return false;
    job = Jobs.Row(position);
    return true;
}

void TForm1::SelectRow(int position) {
    if (position >= 0 && position < Jobs.Count()) Jobs.Select(position);
}

void TForm1::SetStatus(int position, const std::string& status) { Jobs.SetStatus(position, status); }

void TForm1::SetFailureReason(int position, const std::string& reason) { Jobs.SetReason(position, reason); }

void TForm1::ShowFinishedMessage(const std::string& text) { ShowMessage(text, SysText("注意")); }

void TForm1::SetCancelButtonToClose() { OutputForm->SetCancelCaption(SysText("关闭")); }
