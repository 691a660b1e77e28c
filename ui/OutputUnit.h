#pragma once
// OutputForm: the small modal window in front of the main window while a
// batch runs. Its bar measures time (Form1's Timer1 raises it once a second;
// FinishProgress runs it to the end after each file); its caption names the
// file being converted. "打开文件夹" opens the output folder; "取消" cancels
// the batch and closes the window, and reads "关闭" once the batch is done.
#include <windows.h>

#include <memory>
#include <string>

#include "flat_button.h"
#include "win_handles.h"
#include "window.h"

class TOutputForm : public Window {
public:
    // Creates the process-wide OutputForm (hidden); after Form1 and
    // SettingForm. The caller owns it.
    static std::unique_ptr<TOutputForm> CreateForm(HWND mainWindow);
    TOutputForm() = default;
    ~TOutputForm() override;

    // Shows the window modally; returns IDCANCEL once SpeedButton2 closed it.
    // Centred the first time, where it was left on later showings.
    int ShowModal();

    void SetCaption(const std::string& caption);  // system code page

    // ProgressBar1, range 0-2000; a larger position shows 2000.
    void SetProgress(int position);
    int ProgressPosition() const;
    int ProgressMax() const;

    void SpeedButton1Click();
    void SpeedButton2Click();

    HWND ProgressBar1 = nullptr;
    FlatButton SpeedButton1;  // "打开文件夹"
    FlatButton SpeedButton2;  // "取消", "关闭" after a finished batch

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateComponents(HWND mainWindow);

    UniqueFont font_;
    int modalResult_ = 0;
    bool shownBefore_ = false;
};

extern TOutputForm* OutputForm;
