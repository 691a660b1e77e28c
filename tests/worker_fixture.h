#pragma once
// A batch on real worker threads against fake processes and files. Every
// change the batch announces is sampled (its View), as the windows do.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <mutex>

#include "batch_worker.h"
#include "codepage.h"
#include "encoder_command.h"
#include "worker_fakes.h"

class WorkerFixture : public ::testing::Test {
protected:
    void SetUp() override {
        setup.encoderPath = "C:\\sys\\trancor.exe";
        setup.settings.VideoQuality = 400;
        setup.settings.AudioQuality = 64;
        setup.settings.Volume = 100;
    }

    void AddRows(int count) {
        for (int i = 0; i < count; ++i) {
            ConversionJob job;
            job.Source = "D:\\v\\clip" + std::to_string(i) + ".avi";
            job.Target = "E:\\PSP\\M4V" + std::to_string(30000 + i) + ".MP4";
            setup.rows.push_back(job);
        }
    }

    std::unique_ptr<BatchWorker> NewWorker(int rowsAtOnce = 1) {
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
        services.keepAwake = &keepAwake;
        setup.rowsAtOnce = rowsAtOnce;
        auto worker = std::make_unique<BatchWorker>(setup, services, [this] { Sample(); });
        watched_ = worker.get();
        return worker;
    }

    void RunBatch(BatchWorker& worker) {
        worker.Resume();
        worker.WaitFor();
    }

    static std::vector<std::string> Statuses(const BatchView& view) {
        std::vector<std::string> out;
        for (const RowState& row : view.rows) out.push_back(row.status);
        return out;
    }
    std::vector<BatchView> Samples() {
        std::lock_guard<std::mutex> lock(samplesMutex_);
        return samples_;
    }
    // How many of the samples showed the end message as due.
    int FinishedSamples() {
        int count = 0;
        for (const BatchView& view : Samples()) count += view.finished ? 1 : 0;
        return count;
    }
    // Waits until the batch's view satisfies `holds`.
    bool ViewBecomes(BatchWorker& worker, const std::function<bool(const BatchView&)>& holds) {
        return launcher.WaitUntil([&] { return holds(worker.View()); });
    }

    static std::string S(const char* utf8) { return SysText(utf8); }

    BatchSetup setup;
    FakeLauncher launcher;
    FakeFiles files;
    RecordingKeepAwake keepAwake;
    std::atomic<int> pauses{0};
    std::atomic<int> pausedMilliseconds{0};

private:
    void Sample() {
        BatchView view = watched_.load()->View();
        std::lock_guard<std::mutex> lock(samplesMutex_);
        samples_.push_back(std::move(view));
    }
    std::atomic<BatchWorker*> watched_{nullptr};
    std::mutex samplesMutex_;
    std::vector<BatchView> samples_;
};
