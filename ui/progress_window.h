#pragma once
// The small modal window in front of the main window while a batch runs. It
// shows what the batch publishes (BatchView), as the main window hands it
// over: the bar, the status line left of the buttons, and the caption that
// names the file being converted. "暂停" below the buttons holds the batch. "打开文件夹" opens the output folder; "取消" cancels
// the batch and closes the window, and reads "关闭" once the batch is done.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "after_batch.h"
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

    // The pause button: what it does, and whether the batch is paused (it
    // then reads "继续") and can still be paused at all.
    void SetPauseAction(std::function<void()> action) { pauseAction_ = std::move(action); }
    void ShowPause(bool paused, bool enabled);

    // "完成后:" beside the pause button: what the machine does once a batch
    // has ended by itself. "不操作" at the program's start; kept between
    // batches, never saved.
    AfterBatch AfterBatchChoice() const;
    // Between the drop-down list and the pause button: the free space of
    // the current row's target drive (system code page; "" shows nothing).
    void ShowSpaceLeft(const std::string& text);

    // The batch as it stands: the bar's position, the caption (an empty one
    // keeps the caption shown) and the status line.
    void ShowBatch(int position, const std::string& caption, const std::string& statusLine);

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
    HWND pauseButton_ = nullptr;     // "暂停", "继续" while paused; below the cancel button
    HWND afterBatchLabel_ = nullptr;  // "完成后:"
    HWND afterBatchList_ = nullptr;   // AfterBatchChoices, in the order of their values
    HWND spaceLeft_ = nullptr;
    std::string shownSpaceLeft_;
    std::function<void()> cancelAction_;
    std::function<void()> pauseAction_;
    int shownPause_ = -1;            // what the pause button shows: paused * 2 + enabled
    std::string shownStatus_;
    std::string shownCaption_;
    UniqueFont font_;
    int modalResult_ = 0;
    bool shownBefore_ = false;
};
