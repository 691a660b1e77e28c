#pragma once
// The conversion worker: one batch on a thread of its own. It walks the rows
// in order, runs the encoder once per row and waits for it, and keeps the
// statuses and the progress window up to date through WorkerUi - every one
// of those calls is carried out on the UI thread (see marshalled_worker_ui.h).
//
// Lifecycle, as the main window uses it:
//   At creation:   UiDispatcher dispatcher;                           // on the UI thread (win32/ui_dispatcher.h)
//                  MarshalledWorkerUi workerUi(windowsUi, dispatcher);  // outlives every worker
//   Start button:  if (Worker) Worker->WaitFor();   // an earlier, cancelled worker may still finish its row
//                  Worker = std::make_unique<TestThread>(workerUi, SystemWorkerServices(), dispatcher.NewEndSignal());
//                  Worker->Resume();
//   Cancel button: StopEncoder(Worker.get());
//   FormDestroy:   if (Worker) { Worker->Terminate(); Worker.reset(); }   // the destructor waits
// Every wait for the thread goes through the WorkerEndSignal, so on the UI
// thread it keeps carrying out the worker's hand-offs and cannot deadlock.
#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "encoder_process.h"
#include "finish_progress.h"
#include "system_files.h"
#include "ui_thread.h"
#include "worker_ui.h"

// The position of the row being converted: written by the worker at the
// start of each row, read by the progress timer for the window's caption.
extern std::atomic<int> CurrentJob;

// What the worker needs of the operating system. The program takes
// SystemWorkerServices() (engine/win32/system_services.h); tests pass fakes.
// Without a launcher every run fails; without a sleep the standard one is used.
struct WorkerServices {
    ProcessLauncher* launcher = nullptr;  // starts the encoder
    SystemFiles* files = nullptr;         // removes what a cancelled run left behind
    SleepFunction sleep;                  // the pauses of FinishProgress
};

enum class EncoderOutcome {
    Succeeded,  // started and exited with code 0 (a cancelled run ends so too)
    Failed,     // could not be started, or exited with another code
    Stopped,    // not started: the stop flag was already set
};

class TestThread {
public:
    // Created suspended: nothing runs before Resume. `mainWindow` and the
    // services must outlive the worker. Without an end signal the waits
    // simply block (fine off the UI thread, e.g. in tests).
    TestThread(WorkerUi& mainWindow, const WorkerServices& services,
               std::unique_ptr<WorkerEndSignal> endSignal = nullptr);
    // Waits for the thread to end (see WaitFor); does not set the stop flag.
    ~TestThread();
    TestThread(const TestThread&) = delete;
    TestThread& operator=(const TestThread&) = delete;

    // Starts the thread; later calls do nothing.
    void Resume();
    // Sets the stop flag; the worker notices it between its steps.
    void Terminate() { stop_ = true; }
    bool Terminated() const { return stop_; }
    // True once Execute has ended.
    bool Finished() const { return finished_; }
    // Returns once the thread has ended; at once when it never started.
    void WaitFor();

    // Starts the encoder hidden - unless the stop flag is already set - keeps
    // its process in EncoderProcess and returns once it has exited. Public
    // for the process tests.
    EncoderOutcome RunEncoder(const std::string& commandLine);

private:
    void ThreadMain();
    void Execute();
    // After a cancelled run: the encoder's unfinished files for `target`.
    void RemoveUnfinishedFiles(const std::string& target);

    WorkerUi& ui_;
    WorkerServices services_;
    std::unique_ptr<WorkerEndSignal> end_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::mutex threadMutex_;  // guards thread_ between Resume and the waits
    std::thread thread_;
    std::shared_ptr<EncoderRun> lastRun_;  // worker thread only
};

// The cancel action: sets `worker`'s stop flag (when there is a worker) and
// then terminates the encoder process started last with exit code 0. Returns
// at once; the worker finishes the row itself.
void StopEncoder(TestThread* worker);
