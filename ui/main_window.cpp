#include "main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <thread>

#include "app_shell.h"
#include "codepage.h"
#include "control_ids.h"
#include "countdown_window.h"
#include "file_selection.h"
#include "folder_chooser.h"
#include "first_start.h"
#include "ini_file.h"
#include "number_text.h"
#include "open_dialog.h"
#include "process_state.h"
#include "program_config.h"
#include "progress_text.h"
#include "psp_folders.h"
#include "resource_ids.h"
#include "settings_store.h"
#include "shell_actions.h"
#include "skin_layout.h"
#include "source_files.h"
#include "win32/system_services.h"
#include "win32/win32_disk_space.h"

namespace {

// Shows the running batch's state between its "changed" messages.
constexpr UINT_PTR kBatchTimer = 1;
constexpr UINT kBatchTimerMs = 200;
// Gives the window the next slice of a large drop's rows. A timer rather than
// a posted message: posted messages are taken before input and paints, so a
// chain of them would hold both back until the last row is in; a timer's
// message comes only when nothing else waits.
constexpr UINT_PTR kRowSliceTimer = 2;
// Rows added per slice: about 0.2 s of the window's time under Wine.
constexpr size_t kRowsPerSlice = 500;
// Posted by the drop walker when found files wait to be added.
constexpr UINT kDropsFound = WM_APP + 0x52;
// Posted by a batch whose state moved on.
constexpr UINT kBatchChanged = WM_APP + 0x53;

}  // namespace

std::unique_ptr<MainWindow> MainWindow::Create() {
    auto window = std::make_unique<MainWindow>();
    // New targets step over the videos already in the target folder.
    Jobs.SetFiles(&MachineFiles());
    window->CreateControls();
    Guarded([&] { window->LoadSettingsAtStart(); });
    // Read before anything can write it.
    window->savedFiles_ = MakeSystemSavedFiles();
    window->jobsFile_ = std::make_unique<JobsFile>(*window->savedFiles_, JobsFileBeside(ProgramConfigPath()));
    Guarded([&] { window->leftover_ = window->jobsFile_->TakeLeftover(); });
    window->settingsDialog_ = SettingsDialog::Create();
    window->progressWindow_ = ProgressWindow::Create(window->Handle());
    return window;
}

MainWindow::~MainWindow() {
    drops_.reset();  // ends a walk still under way
    // The worker still posts to this window while it ends.
    worker_.reset();
    // Destroyed here, while every member still exists: destroying the
    // children sends this window notifications.
    if (Handle()) DestroyWindow(Handle());
}

void MainWindow::CreateControls() {
    RegisterWindowClass(VQ_CLASS_MAIN_WINDOW, CS_DBLCLKS,
                        LoadIconA(app::Instance(), MAKEINTRESOURCEA(IDI_VIDQUILL)));
    font_ = CreateFormFont();
    skin_.Reset(static_cast<HBITMAP>(LoadImageA(app::Instance(), MAKEINTRESOURCEA(IDB_SKIN),
                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));

    // No frame and no caption bar; the system menu and the minimise box only
    // make the window minimisable (and restorable from the taskbar).
    CreateHandle(WS_EX_APPWINDOW, VQ_CLASS_MAIN_WINDOW, "Vidquill",
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
    AddFlatButton(addButton_, IDC_ADD_FILES, kAddButtonBounds, "添加视频文件", &MainWindow::OnAddFilesClicked);
    AddFlatButton(startButton_, IDC_START, kStartButtonBounds, "开始", &MainWindow::OnStartClicked);
    AddFlatButton(settingsButton_, IDC_SETTINGS, kSettingsButtonBounds, "设置", &MainWindow::OnSettingsClicked);
    AddFlatButton(helpButton_, IDC_HELP_MENU, kHelpButtonBounds, "帮助", &MainWindow::OnHelpClicked);
    AddFlatButton(minimiseButton_, IDC_MINIMISE, kMinimiseButtonBounds, nullptr, &MainWindow::OnMinimiseClicked);
    AddFlatButton(closeButton_, IDC_CLOSE, kCloseButtonBounds, nullptr, &MainWindow::OnCloseClicked);
    AddFlatButton(folderButton_, IDC_OUTPUT_FOLDER, kFolderButtonBounds, "选择输出文件夹", &MainWindow::OnOutputFolderClicked);
    AddFlatButton(removeButton_, IDC_REMOVE_ROWS, kRemoveButtonBounds, nullptr, &MainWindow::OnRemoveClicked);
    removeButton_.SetFont(font_.Get());
    removeButton_.SetCaption(SysText("移除"));

    jobView_.Create(Handle(), IDC_JOB_LIST, kJobListBounds, font_.Get(), Jobs,
                    [this](int x, int y) { ShowRowMenu(x, y); });

    rowMenu_.Reset(CreatePopupMenu());
    AppendMenuA(rowMenu_.Get(), MF_STRING, IDM_REMOVE_ROWS, SysText("移除").c_str());
    AppendMenuA(rowMenu_.Get(), MF_STRING, IDM_ADD_FILES, SysText("添加").c_str());
    AppendMenuA(rowMenu_.Get(), MF_STRING, IDM_VIEW_LOG, SysText("查看日志").c_str());
    helpMenu_.Reset(CreatePopupMenu());
    AppendMenuA(helpMenu_.Get(), MF_STRING, IDM_REPORT_PROBLEM, SysText("提交问题").c_str());
    AppendMenuA(helpMenu_.Get(), MF_STRING, IDM_HOME_PAGE, SysText("官方网站").c_str());

    DragAcceptFiles(Handle(), TRUE);

    taskbar_ = std::make_unique<Win32TaskbarProgress>(Handle());
    HWND window = Handle();
    drops_ = std::make_unique<DropWalker>(std::make_unique<Win32SourceFileSystem>(),
                                          [window] { PostMessageA(window, kDropsFound, 0, 0); });
}

void MainWindow::AddFlatButton(FlatButton& button, int id, const RECT& bounds, const char* hintUtf8,
                               void (MainWindow::*handler)()) {
    button.Create(Handle(), id, bounds,
                  [this](HDC dc, const RECT& area) { PaintSkinPart(dc, area); },
                  [this, handler] { (this->*handler)(); });
    if (hintUtf8) hints_.Add(button.Handle(), SysText(hintUtf8));
}

void MainWindow::Show() {
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
    Guarded([this] { OfferLeftoverJobs(); });
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        PaintSkin();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the skin covers everything
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        BeginWindowDrag(message);
        return 0;
    case WM_COMMAND:
        OnMenuCommand(LOWORD(wParam));
        return 0;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        return header->idFrom == IDC_JOB_LIST ? jobView_.HandleNotify(*header) : 0;
    }
    case WM_TIMER:
        if (wParam == kBatchTimer) ShowBatch();
        if (wParam == kRowSliceTimer) {
            KillTimer(Handle(), kRowSliceTimer);
            AddNextSlice();
        }
        return 0;
    case WM_CLOSE:
        SaveSettingsAtClose();  // a refused write throws: the window stays and the error box says why
        // A normal end: no list to bring back, and none written again by a
        // worker still finishing its row.
        if (jobsFile_) jobsFile_->Delete();
        jobsFile_.reset();
        ShowWindow(Handle(), SW_HIDE);
        PostQuitMessage(0);
        return 0;
    case WM_DROPFILES:
        OnFilesDropped(reinterpret_cast<HDROP>(wParam));
        return 0;
    case kBatchChanged:
        ShowBatch();
        return 0;
    case kDropsFound:
        if (drops_) AddAccepted(drops_->Take());
        return 0;
    case WM_SETTINGCHANGE:
        RefreshDecimalMark();
        break;
    }
    return Default(message, wParam, lParam);
}

void MainWindow::OnMenuCommand(int id) {
    switch (id) {
    case IDM_REMOVE_ROWS: OnRemoveClicked(); break;
    case IDM_ADD_FILES: OnAddFilesClicked(); break;
    case IDM_VIEW_LOG: OnViewLogClicked(); break;
    case IDM_REPORT_PROBLEM: OnReportProblemClicked(); break;
    case IDM_HOME_PAGE: OnHomePageClicked(); break;
    }
}

void MainWindow::PaintSkinPart(HDC dc, const RECT& area) const {
    int w = area.right - area.left, h = area.bottom - area.top;
    if (skin_) {
        BitBlt(dc, 0, 0, w, h, skinDc_.Get(), area.left, area.top, SRCCOPY);
    } else {
        RECT r{0, 0, w, h};
        FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
    }
}

void MainWindow::PaintSkin() {
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

void MainWindow::LoadSettingsAtStart() {
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

void MainWindow::SaveSettingsAtClose() {
    auto ini = MakeSystemIniFile();
    std::string path = ProgramConfigPath();
    SaveSettings(*ini, path, Settings);
    WriteOutput(*ini, path, Settings.Output);
}

void MainWindow::SaveJobs() {
    // A list that cannot be kept (a read-only program folder) only means
    // that it cannot come back after a crash.
    if (jobsFile_) jobsFile_->Save(Jobs);
}

void MainWindow::OfferLeftoverJobs() {
    JobsFile::Leftover leftover = std::move(leftover_);
    leftover_ = {};
    if (!leftover.setAside.empty()) {
        ShowMessage(SysText("上次的转换列表已损坏，无法恢复，已另存为 ") + leftover.setAside, SysText("注意"));
    }
    if (leftover.rows.empty() || !jobsFile_) return;
    const std::string count = IntToText(static_cast<int32_t>(leftover.rows.size()));
    const std::string question = SysText("上次的转换没有完成，还有 ") + count + SysText(" 个文件。要恢复这个列表吗？");
    if (!AskYesNo(question, SysText("注意"))) {
        jobsFile_->Delete();
        return;
    }
    {
        JobView::AddingRows adding(jobView_, leftover.rows.size());
        RestoreJobs(leftover.rows, Jobs, MachineFiles());
    }
    SaveJobs();
}

void MainWindow::StopBatchAtExit() {
    if (worker_) {
        // As the cancel button does: a running encoder is stopped rather
        // than waited for, and its unfinished files go.
        worker_->Cancel();
        worker_.reset();  // waits for its rows' threads
    }
}

// --- buttons and menus ----------------------------------------------------

void MainWindow::AddFiles(const std::vector<std::string>& paths) {
    JobView::AddingRows adding(jobView_, paths.size());
    for (const std::string& path : paths) Jobs.AddJob(path, Settings.Output, Settings.VideoFormat);
    if (!paths.empty()) SaveJobs();
}

void MainWindow::OnAddFilesClicked() {
    Win32SourceFileSystem files;
    AddAccepted(AcceptChosenFiles(RunOpenDialog(Handle()), files));
}

void MainWindow::OnFilesDropped(HDROP drop) {
    std::vector<std::string> paths = ReadDroppedPaths(drop);  // finishes the drop in any case
    if (drops_) drops_->Add(std::move(paths));
}

void MainWindow::AddAccepted(AcceptedFiles accepted) {
    // While slices are under way these files wait behind them; otherwise
    // their first slice goes in now, which is all of them when they are few.
    const bool slicing = pendingRows_.HasPaths();
    pendingRows_.Append(std::move(accepted));
    if (!slicing) AddNextSlice();
}

void MainWindow::AddNextSlice() {
    AddFiles(pendingRows_.NextSlice(kRowsPerSlice));
    InvalidateRect(Handle(), nullptr, FALSE);
    // Without a timer the rest goes in at once rather than never.
    if (pendingRows_.HasPaths() && !SetTimer(Handle(), kRowSliceTimer, USER_TIMER_MINIMUM, nullptr))
        AddFiles(pendingRows_.NextSlice(SIZE_MAX));
    // Taken out before the message box, whose loop may add further rows.
    ReportNotAdded(Handle(), pendingRows_.TakeNotAdded());
}

void MainWindow::OnRemoveClicked() {
    Jobs.RemoveSelected();
    SaveJobs();
}

void MainWindow::OnOutputFolderClicked() {
    InstallCenterDialogHook();
    if (SelectOutputFolder(SysText("请选择目录"), Settings.Output)) {
        InvalidateRect(Handle(), nullptr, FALSE);
    }
}

void MainWindow::OnStartClicked() {
    if (Jobs.Count() == 0) {
        ShowMessage(SysText("请添加视频文件到列表"), SysText("错误"));
        return;
    }
    // A cancelled batch's worker may still be finishing its row; the new one
    // must not work on the list beside it.
    if (worker_) worker_->WaitFor();

    // A memory stick's H.264 folder may not exist yet; one that cannot be
    // made (the stick gone) fails its rows with the encoder's reason.
    for (const std::string& folder : PspH264FoldersOf(Jobs)) CreateDirectoryA(folder.c_str(), nullptr);
    if (!RoomForBatchOrUserAgrees()) return;

    PrepareProgressWindow();
    Jobs.ClearStatuses();
    SaveJobs();
    progressWindow_->SetProgress(0);
    BatchSetup setup;
    for (int i = 0; i < Jobs.Count(); ++i) setup.rows.push_back(Jobs.Row(i));
    setup.settings = Settings;
    setup.encoderPath = EncoderPath;
    setup.encoderNotFoundAt = EncoderNotFoundAt;
    setup.rowsAtOnce = RowsAtOnce(Settings, static_cast<int32_t>(std::thread::hardware_concurrency()));
    batchRowsAtOnce_ = setup.rowsAtOnce;
    showingBatch_ = true;
    selectionShown_ = -1;
    endMessageShown_ = false;
    spaceAskedAt_ = 0;
    batchChangePosted_ = false;
    HWND window = Handle();
    WorkerServices services = SystemWorkerServices();
    if (!runLogs_)
        runLogs_ = std::make_unique<RunLogBook>(logFiles_, RunLogFolderBeside(ProgramConfigPath()), Win32LocalTime);
    services.logs = runLogs_.get();
    worker_ = std::make_unique<BatchWorker>(std::move(setup), services, [this, window] {
        if (!batchChangePosted_.exchange(true)) PostMessageA(window, kBatchChanged, 0, 0);
    });
    SetTimer(Handle(), kBatchTimer, kBatchTimerMs, nullptr);
    worker_->Resume();
    progressWindow_->ShowModal();
}

bool MainWindow::RoomForBatchOrUserAgrees() {
    EncoderLengthProbe probe(EncoderPath);
    Win32DiskSpace disks;
    std::vector<std::string> questions;
    {
        // The encoder reads each new source's header: a moment per file.
        WaitCursor waiting;
        questions = RoomQuestions(Jobs, Settings, sourceLengths_, probe, disks);
    }
    for (const std::string& question : questions)
        if (!AskYesNo(question, SysText("注意"), /*defaultNo=*/true)) return false;
    return true;
}

void MainWindow::PrepareProgressWindow() {
    progressWindow_->SetCaption("Output");
    progressWindow_->SetCancelCaption(SysText("取消"));
    progressWindow_->SetCancelAction([this] {
        if (worker_) worker_->Cancel();
    });
    progressWindow_->SetPauseAction([this] { OnPauseClicked(); });
    progressWindow_->ShowPause(false, true);
}

void MainWindow::OnSettingsClicked() {
    settingsDialog_->ShowModal(Handle(), Settings, [](const EditedSettings& edited) {
        AdoptSettings(edited, Settings, Jobs,
                      [] { SaveSettings(*MakeSystemIniFile(), ProgramConfigPath(), Settings); });
    });
    SaveJobs();  // confirming renumbers the rows
}

void MainWindow::OnHelpClicked() {
    RECT window = ScreenRectOf(Handle());
    SetForegroundWindow(Handle());
    int id = TrackPopupMenu(helpMenu_.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON |
                                                 TPM_RETURNCMD | TPM_NONOTIFY,
                            window.left + 323, window.top + 75, 0, Handle(), nullptr);
    OnMenuCommand(id);
}

void MainWindow::OnMinimiseClicked() {
    // There is no separate application window: the main window stands for
    // the program on the taskbar, so it is the one minimised.
    SendMessageA(Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void MainWindow::OnCloseClicked() { SendMessageA(Handle(), WM_CLOSE, 0, 0); }

void MainWindow::BeginWindowDrag(UINT message) {
    if (message != WM_LBUTTONDOWN) return;
    ReleaseCapture();
    SendMessageA(Handle(), WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

void MainWindow::ShowRowMenu(int x, int y) {
    const int row = Jobs.Selected();
    const bool hasLog = row >= 0 && row < Jobs.Count() && !Jobs.Row(row).LogPath.empty() &&
                        GetFileAttributesA(Jobs.Row(row).LogPath.c_str()) != INVALID_FILE_ATTRIBUTES;
    EnableMenuItem(rowMenu_.Get(), IDM_VIEW_LOG, MF_BYCOMMAND | (hasLog ? MF_ENABLED : MF_GRAYED));
    RECT window = ScreenRectOf(Handle());
    SetForegroundWindow(Handle());
    int id = TrackPopupMenu(rowMenu_.Get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON |
                                                TPM_RETURNCMD | TPM_NONOTIFY,
                            window.left + kJobListBounds.left + x,
                            window.top + kJobListBounds.top + y, 0, Handle(), nullptr);
    OnMenuCommand(id);
}

void MainWindow::OnViewLogClicked() {
    const int row = Jobs.Selected();
    if (row >= 0 && row < Jobs.Count()) OpenFileWithItsProgram(Handle(), Jobs.Row(row).LogPath);
}

void MainWindow::OnReportProblemClicked() { WriteToSupport(); }

void MainWindow::OnHomePageClicked() { OpenHomePage(ShellOpenNoOwner); }

// --- the batch ----------------------------------------------------------------

void MainWindow::ShowBatch() {
    batchChangePosted_ = false;
    if (!worker_ || !showingBatch_) return;
    const BatchView view = worker_->View();
    // Rows the list gained meanwhile join the batch.
    const int batchRows = static_cast<int>(view.rows.size());
    if (!view.ended && !worker_->Cancelled() && Jobs.Count() > batchRows) {
        std::vector<ConversionJob> added;
        for (int i = batchRows; i < Jobs.Count(); ++i) added.push_back(Jobs.Row(i));
        worker_->AddRows(added);
    }
    // After a cancel the user may remove rows: a row that is gone shows nothing.
    const int shown = std::min(Jobs.Count(), batchRows);
    bool statusChanged = false;
    for (int i = 0; i < shown; ++i) {
        const RowState& row = view.rows[static_cast<size_t>(i)];
        // The reason first, so the tip of a "失败" row never lacks it.
        if (Jobs.Row(i).Reason != row.reason) Jobs.SetReason(i, row.reason);
        if (Jobs.Row(i).Status != row.status) {
            Jobs.SetStatus(i, row.status);
            statusChanged = true;
        }
        // A row that has not run in this batch keeps the log of its last run.
        if (!row.logPath.empty()) Jobs.SetLogPath(i, row.logPath);
    }
    if (statusChanged) SaveJobs();  // a row began or ended
    if (view.selectedRow != selectionShown_) {
        selectionShown_ = view.selectedRow;
        if (view.selectedRow >= 0 && view.selectedRow < Jobs.Count()) Jobs.Select(view.selectedRow);
    }
    progressWindow_->ShowBatch(view.bar, view.caption, view.statusLine);
    ShowSpaceLeft(view.selectedRow);
    progressWindow_->ShowPause(view.paused, !view.ended && !worker_->Cancelled());
    ShowBatchOnTaskbar(view);
    if (!view.ended) return;
    showingBatch_ = false;
    KillTimer(Handle(), kBatchTimer);
    if (view.finished && !endMessageShown_) {
        endMessageShown_ = true;
        // The caption changes only once the message has been dismissed.
        ShowMessage(view.finishedMessage, SysText("注意"));
        progressWindow_->SetCancelCaption(SysText("关闭"));
        OnBatchDoneByItself();
    }
}

void MainWindow::ShowSpaceLeft(int row) {
    // Once a second is enough, and spares a slow memory stick the question.
    const ULONGLONG now = GetTickCount64();
    if (now - spaceAskedAt_ < 1000 || row < 0 || row >= Jobs.Count()) return;
    spaceAskedAt_ = now;
    const std::string& target = Jobs.Row(row).Target;
    const size_t slash = LastBackslash(target);
    Win32DiskSpace disks;
    std::string volume;
    uint64_t available = 0;
    const bool known = disks.VolumeOf(slash == std::string::npos ? "." : target.substr(0, slash + 1), volume) &&
                       disks.FreeBytes(volume, available);
    progressWindow_->ShowSpaceLeft(known ? SpaceLeftText(available) : "");
}

void MainWindow::OnBatchDoneByItself() {
    const AfterBatch action = progressWindow_->AfterBatchChoice();
    if (action == AfterBatch::Nothing) return;
    // As at close: nothing the user set is lost when the machine goes down.
    // A Config.ini that refuses them stops here, with the error box.
    SaveSettingsAtClose();
    CountdownWindow::Run(progressWindow_->Handle(), action, power_);
}

void MainWindow::OnPauseClicked() {
    if (!worker_) return;
    if (worker_->View().paused)
        worker_->Continue();
    else
        worker_->Pause();
    ShowBatch();
}

void MainWindow::ShowBatchOnTaskbar(const BatchView& view) {
    // A cancel takes the batch off the taskbar at once.
    if (view.ended || worker_->Cancelled() || view.rows.empty()) {
        taskbar_->Clear();
        return;
    }
    const uint64_t rows = view.rows.size();
    if (batchRowsAtOnce_ > 1) {
        taskbar_->SetValue(static_cast<uint64_t>(view.bar) * rows, rows * kProgressBarMax);
        return;
    }
    // One row at a time: the rows before the current one, and its bar.
    const uint64_t before = view.selectedRow > 0 ? static_cast<uint64_t>(view.selectedRow) : 0;
    taskbar_->SetValue(before * kProgressBarMax + static_cast<uint64_t>(view.bar), rows * kProgressBarMax);
}
