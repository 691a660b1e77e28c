#pragma once
// A batch on a real worker thread against fake windows, processes and files,
// with the test thread as the UI thread.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "codepage.h"
#include "encoder_command.h"
#include "marshalled_worker_ui.h"
#include "process_state.h"
#include "batch_worker.h"
#include "worker_fakes.h"

class WorkerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        EncoderPath = "C:\\sys\\trancor.exe";
        EncoderNotFoundAt.clear();
        Settings = ConversionSettings();
        Settings.VideoQuality = 400;
        Settings.AudioQuality = 64;
        Settings.Volume = 100;
    }

    void AddRows(int count) {
        for (int i = 0; i < count; ++i)
            windows.AddRow("D:\\v\\clip" + std::to_string(i) + ".avi",
                           "E:\\PSP\\M4V" + std::to_string(30000 + i) + ".MP4");
    }

    std::unique_ptr<BatchWorker> NewWorker() {
        WorkerServices services;
        services.launcher = &launcher;
        services.files = &files;
        services.sleep = [this](int milliseconds) {
            ++pauses;
            pausedMilliseconds += milliseconds;
        };
        // An encoder whose plan publishes nothing is found to publish nothing.
        services.progress = &launcher;
        services.clock = [this] { return launcher.NowMs(); };
        if (recordIndicators) {
            services.taskbar = &indicators;
            services.keepAwake = &indicators;
        }
        return std::make_unique<BatchWorker>(workerUi, services, uiThread.NewEndSignal());
    }

    // Runs a whole batch; the test thread serves the hand-offs meanwhile.
    void RunBatch(BatchWorker& worker) {
        worker.Resume();
        worker.WaitFor();
    }

    static std::string S(const char* utf8) { return SysText(utf8); }

    FakeUiThread uiThread;
    RecordingUi windows{uiThread.Id()};
    MarshalledWorkerUi workerUi{windows, uiThread};
    FakeLauncher launcher;
    FakeFiles files;
    RecordingIndicators indicators{windows};
    bool recordIndicators = false;  // taskbar and keep-awake among the events
    std::atomic<int> pauses{0};
    std::atomic<int> pausedMilliseconds{0};
};
