#pragma once
// The small modal window in front of the main window while a batch runs. Its
// bar follows the encoder's reports when the encoder makes them, and
// measures time otherwise (the main window's progress timer raises it once a
// second); FinishProgress runs it to the end after each file. A status line
// left of the buttons shows what the encoder reports; the caption names the
// file being converted. "打开文件夹" opens the output folder; "取消" cancels
// the batch and closes the window, and reads "关闭" once the batch is done.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "flat_button.h"
#include "win_handles.h"
#include "window.h"

class ProgressWindow : public Window {
public:
    // Creates the window (hidden), owned by the main window.
    static std::unique_ptr<ProgressWindow> Create(HWND mainWindow);
    ProgressWindow() = default;
    ~ProgressWindow() override;

    // Shows the window modally; returns IDCANCEL once the cancel button closed it.
    // Centred the first time, where it was left on later showings.
    int ShowModal();

    void SetCaption(const std::string& caption);  // system code page

    // The cancel button: what it does before the window closes (the batch's
    // cancel), and its caption ("取消", "关闭"; system code page).
    void SetCancelAction(std::function<void()> action) { cancelAction_ = std::move(action); }
    void SetCancelCaption(const std::string& caption) { cancelButton_.SetCaption(caption); }

    // The bar, range 0-2000; a larger position shows 2000.
    void SetProgress(int position);
    int ProgressPosition() const;
    int ProgressMax() const;

    // The encoder's report for the current file: the bar moves up to
    // `position` (never back; -1 leaves it to the timer) and the status
    // line reads `statusLine`.
    void ShowEncoderProgress(int position, const std::string& statusLine);
    // The file's reports are over: the status line empties, the timer
    // raises the bar again.
    void EndEncoderProgress();
    // True while the encoder reports the share done: the timer leaves the bar alone.
    bool EncoderReportsProgress() const { return encoderReports_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateControls(HWND mainWindow);
    void SetStatusLine(const std::string& text);
    void OnOpenFolderClicked();
    void OnCancelClicked();

    HWND progressBar_ = nullptr;
    HWND statusLine_ = nullptr;      // static text left of the buttons
    FlatButton openFolderButton_;    // "打开文件夹"
    FlatButton cancelButton_;        // "取消", "关闭" after a finished batch
    std::function<void()> cancelAction_;
    bool encoderReports_ = false;
    std::string shownStatus_;
    UniqueFont font_;
    int modalResult_ = 0;
    bool shownBefore_ = false;
};
