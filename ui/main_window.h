#pragma once
// The skinned main window. It shows the job list, adds and removes files,
// opens the settings dialog, the folder chooser and the help menu, starts a
// batch, and loads the settings at creation and saves them when it closes.
// It owns the program's two other windows, the settings dialog and the
// progress window, and shows what a running batch publishes, on a timer and
// whenever the batch says it changed.
#include <windows.h>

#include <shellapi.h>

#include <atomic>
#include <memory>
#include <string>

#include "batch_worker.h"
#include "drop_walker.h"
#include "file_selection.h"
#include "flat_button.h"
#include "jobs_file.h"
#include "job_view.h"
#include "pending_rows.h"
#include "progress_window.h"
#include "run_log.h"
#include "size_estimate.h"
#include "settings_dialog.h"
#include "taskbar_progress.h"
#include "win32/win32_power_action.h"
#include "win32/win32_run_log_files.h"
#include "win_handles.h"
#include "window.h"

class MainWindow : public Window {
public:
    // Creates the main window (hidden) and loads the settings - a failure to
    // load is shown in the error box and the window exists all the same -
    // then the settings dialog and the progress window, in that order. Call
    // once; the caller owns the result.
    static std::unique_ptr<MainWindow> Create();
    MainWindow() = default;
    ~MainWindow() override;

    // Shows the window (the message loop then runs until it closes), then
    // offers the list a run that did not end normally left behind.
    void Show();

    // At the program's end: a running batch is stopped as the cancel button
    // stops it, and its worker waited for.
    void StopBatchAtExit();

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateControls();
    void AddFlatButton(FlatButton& button, int id, const RECT& bounds, const char* hintUtf8,
                       void (MainWindow::*handler)());
    void PaintSkin();
    void PaintSkinPart(HDC dc, const RECT& area) const;
    void OnMenuCommand(int id);

    // Installs the encoder and reads Config.ini, or sets up a first start.
    void LoadSettingsAtStart();
    // Writes the settings; throws WriteError when Config.ini refuses them,
    // and the window then stays open.
    void SaveSettingsAtClose();
    // The list in Vidquill.jobs, after every change to the rows.
    void SaveJobs();
    void OfferLeftoverJobs();

    // Event handlers.
    void OnAddFilesClicked();
    void OnFilesDropped(HDROP drop);
    void OnRemoveClicked();
    void OnOutputFolderClicked();
    void OnStartClicked();
    void OnSettingsClicked();
    void OnHelpClicked();
    void OnMinimiseClicked();
    void OnCloseClicked();
    void OnReportProblemClicked();
    void OnHomePageClicked();
    void BeginWindowDrag(UINT message);
    void ShowRowMenu(int x, int y);
    void OnViewLogClicked();
    // "完成后:" at the end of a batch that was not cancelled.
    void OnBatchDoneByItself();
    // The free space of `row`'s target drive in the progress window.
    void ShowSpaceLeft(int row);
    // Shows the batch's state: the rows' statuses, the progress window, the
    // taskbar, and once the last row is done the end message.
    void ShowBatch();

    void AddFiles(const std::vector<std::string>& paths);
    // Adds what could be added, a slice at a time behind any rows still
    // waiting, then names what could not (source_files.h).
    void AddAccepted(AcceptedFiles accepted);
    void AddNextSlice();
    // Asks for every target drive the batch will not fit on; false when the
    // user answers No.
    bool RoomForBatchOrUserAgrees();
    void PrepareProgressWindow();
    void ShowBatchOnTaskbar(const BatchView& view);
    void OnPauseClicked();

    UniqueFont font_;
    UniqueBitmap skin_;
    UniqueMemoryDc skinDc_;
    UniqueIcon icon_;

    FlatButton addButton_, folderButton_, startButton_, settingsButton_, helpButton_;
    FlatButton minimiseButton_, closeButton_, removeButton_;
    JobView jobView_;
    ToolTips hints_;
    UniqueMenu rowMenu_, helpMenu_;

    std::unique_ptr<SettingsDialog> settingsDialog_;
    std::unique_ptr<ProgressWindow> progressWindow_;

    std::unique_ptr<Win32TaskbarProgress> taskbar_;
    Win32RunLogFiles logFiles_;
    std::unique_ptr<RunLogBook> runLogs_;
    LengthCache sourceLengths_;
    Win32PowerAction power_;
    ULONGLONG spaceAskedAt_ = 0;  // GetTickCount64 of the last ShowSpaceLeft question
    // Walks dropped folders off this thread; its finds come back as kDropsFound.
    std::unique_ptr<DropWalker> drops_;
    // Found or chosen files not yet in the list.
    PendingRows pendingRows_;
    // The batch's "changed" message is posted once until it is taken.
    std::atomic<bool> batchChangePosted_{false};
    // Whether the most recent batch is still shown; the row it selected
    // last; whether its end message came.
    bool showingBatch_ = false;
    int selectionShown_ = -1;
    bool endMessageShown_ = false;
    int batchRowsAtOnce_ = 1;
    // The list kept for a crash; gone once the window has closed normally.
    std::unique_ptr<SavedFiles> savedFiles_;
    std::unique_ptr<JobsFile> jobsFile_;
    JobsFile::Leftover leftover_;
    // The worker of the most recent batch, or none.
    std::unique_ptr<BatchWorker> worker_;
};
