#pragma once
// Watching a running batch from outside: the progress bar's highest position
// while each row's encoder runs (a process of that name exists and the row
// reads "正在处理"), until the end message shows. Used by the real-encoder
// scenario and the batch benchmark.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "driver/gui_driver.h"

namespace e2e {

struct BatchWatch {
    std::vector<int> highestBar;  // per row, -1 when the row was never seen converting
    MessageBoxInfo endMessage;    // null window when none came in time
};

// True while a process whose executable is named `exeName` runs.
bool ProcessRunning(const char* exeName);
// How many such processes run, and the processor time they have used
// together so far (100 ns units).
int ProcessCount(const char* exeName);
uint64_t ProcessorTimeOf(const char* exeName);

// Polls every 100 ms for at most `ms`. `sample(row, bar)` runs at each poll
// while a row's encoder runs (for screenshots); it may be empty.
BatchWatch WatchBatch(DWORD pid, HWND list, int rows, const char* encoderExe,
                      const std::function<void(int row, int bar)>& sample, int ms);

}  // namespace e2e
