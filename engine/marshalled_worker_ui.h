#pragma once
// A WorkerUi for the worker thread that carries every call over to the UI
// thread and waits for it there. The program wraps its windows' WorkerUi
// (which may touch controls, so runs on the UI thread only) in one of these;
// how the pieces fit together: batch_worker.h.
//
// When the UI thread no longer takes calls, writes are dropped and reads
// answer "nothing there" (no rows, a bar with no room left), so the worker
// runs out quickly instead of waiting for a window that is gone.
#include "ui_thread.h"
#include "worker_ui.h"

class MarshalledWorkerUi final : public WorkerUi {
public:
    // Both must outlive every worker that uses this object.
    MarshalledWorkerUi(WorkerUi& uiThreadOnly, UiInvoker& invoker) : target_(uiThreadOnly), invoker_(invoker) {}

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
    void SetLogPath(int position, const std::string& path) override;
    void ShowFinishedMessage(const std::string& text) override;
    void SetCancelButtonToClose() override;

private:
    WorkerUi& target_;
    UiInvoker& invoker_;
};
