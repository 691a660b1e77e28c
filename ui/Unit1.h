#pragma once
// Form1: the skinned main window. It shows the job list, adds and removes
// files, opens the settings dialog, the folder chooser and the help menu,
// starts a batch, and loads the settings at creation and saves them when it
// closes. It is also the worker's view of the windows (WorkerUi): every call
// of that interface arrives on the UI thread through the dispatcher.
#include <windows.h>

#include <shellapi.h>

#include <memory>
#include <string>

#include "file_selection.h"
#include "flat_button.h"
#include "job_view.h"
#include "marshalled_worker_ui.h"
#include "taskbar_progress.h"
#include "test_thread.h"
#include "win32/ui_dispatcher.h"
#include "win_handles.h"
#include "window.h"
#include "worker_ui.h"

class TForm1 : public Window, public WorkerUi {
public:
    // Creates the process-wide Form1 (hidden) and runs FormCreate; a failure
    // of FormCreate is shown in the error box and the window exists all the
    // same. Call once, first of the three windows; the caller owns it.
    static std::unique_ptr<TForm1> CreateForm();
    TForm1() = default;
    ~TForm1() override;

    // Shows the window (the message loop then runs until it closes).
    void Show();

    // The worker of the most recent batch, or none.
    std::unique_ptr<TestThread> Worker;

    // Event handlers.
    void FormCreate();
    // Writes the settings; throws WriteError when Config.ini refuses them,
    // and the window then stays open.
    void FormClose();
    void FormDestroy();
    void SpeedButton1Click();
    void Delete1Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void SpeedButton8Click();
    void SpeedButton9Click();
    void Image1MouseDown(UINT message);
    void ListView1MouseDown(int x, int y);
    void SubmitQuestionorBug1Click();
    void HomePage1Click();
    void Timer1Timer();
    void FormDropFiles(HDROP drop);

    // WorkerUi, on the UI thread.
    void StartProgressTimer() override;
    void StopProgressTimer() override;
    void SetProgress(int position) override;
    int ProgressPosition() override;
    int ProgressMax() override;
    void RedrawMainWindow() override;
    void ShowEncoderProgress(int position, const std::string& statusLine) override;
    int RowCount() override;
    bool ReadRow(int position, ConversionJob& job) override;
    void SelectRow(int position) override;
    void SetStatus(int position, const std::string& status) override;
    void SetFailureReason(int position, const std::string& reason) override;
    void ShowFinishedMessage(const std::string& text) override;
    void SetCancelButtonToClose() override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateComponents();
    void AddFlatButton(FlatButton& button, int id, const RECT& bounds, const char* hintUtf8,
                       void (TForm1::*handler)());
    void PaintSkin();
    void PaintSkinPart(HDC dc, const RECT& area) const;
    void Command(int id);
    void AddFiles(const std::vector<std::string>& paths);
    // Adds what could be added, then names what could not (source_files.h).
    void AddAccepted(const AcceptedFiles& accepted);
    void PrepareOutputForm();
    WorkerServices BatchServices();

    UniqueFont font_;
    UniqueBitmap skin_;
    UniqueMemoryDc skinDc_;
    UniqueIcon icon_;

    FlatButton SpeedButton1, SpeedButton3, SpeedButton4, SpeedButton5, SpeedButton6;
    FlatButton SpeedButton8, SpeedButton9, SpeedButton10;
    JobView ListView1;
    ToolTips hints_;
    UniqueMenu PopupMenu1, PopupMenu2;

    std::unique_ptr<UiDispatcher> dispatcher_;
    std::unique_ptr<MarshalledWorkerUi> workerUi_;
    std::unique_ptr<Win32TaskbarProgress> taskbar_;
};

extern TForm1* Form1;
