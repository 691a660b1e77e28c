#pragma once
// What the conversion worker asks of the windows. The worker never touches a
// control itself: every call below is carried out on the UI thread, and the
// call returns only once it has been carried out there. The worker tests use
// a fake; the program plugs in its main and progress windows.
#include <string>

#include "job_list.h"

class WorkerUi {
public:
    virtual ~WorkerUi() = default;

    // The main window's one-second progress timer.
    virtual void StartProgressTimer() = 0;
    virtual void StopProgressTimer() = 0;

    // The progress window's bar (0-2000; larger values show 2000).
    virtual void SetProgress(int position) = 0;
    virtual int ProgressPosition() = 0;
    virtual int ProgressMax() = 0;
    // Invalidate the main window and paint it at once.
    virtual void RedrawMainWindow() = 0;

    // What the encoder reports of the current row: the bar's new position
    // (the window never moves it back; -1 when the share done is unknown)
    // and the status line. Called only while the encoder reports; while
    // it reports a share, the timer no longer raises the bar. Starting or
    // stopping the progress timer ends a row's reports (the status line
    // empties, the timer steps the bar again).
    virtual void ShowEncoderProgress(int position, const std::string& statusLine) = 0;

    // The job list as the main window shows it. Rows can be removed while a
    // cancelled worker finishes: ReadRow is false and SetStatus/SelectRow do
    // nothing for a position that no longer exists.
    virtual int RowCount() = 0;
    virtual bool ReadRow(int position, ConversionJob& job) = 0;
    virtual void SelectRow(int position) = 0;
    virtual void SetStatus(int position, const std::string& status) = 0;
    // Why the row failed, kept with it for the list's tip; set before the
    // status becomes "失败".
    virtual void SetFailureReason(int position, const std::string& reason) = 0;
    // The log file of the row's last run (run_log.h); a window without logs
    // may ignore it.
    virtual void SetLogPath(int position, const std::string& path) {
        (void)position;
        (void)path;
    }

    // End of a batch: the message `text` (FinishedMessageText, caption
    // "注意", style 0x30), returning once the user has dismissed it; then
    // the progress window's cancel button caption becomes "关闭".
    virtual void ShowFinishedMessage(const std::string& text) = 0;
    virtual void SetCancelButtonToClose() = 0;
};
