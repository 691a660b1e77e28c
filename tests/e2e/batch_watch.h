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

// One encoder process seen while the batch ran, from the system's own
// record of it: when it was created and when it exited.
struct EncoderLife {
    double createdS = 0, exitedS = 0;  // seconds on the system clock
};

struct BatchWatch {
    std::vector<int> highestBar;  // per row, -1 when the row was never seen converting
    MessageBoxInfo endMessage;    // null window when none came in time
    std::vector<EncoderLife> encoders;  // in order of creation; those seen at a poll
};

// The system clock in seconds, on the scale EncoderLife uses.
double SystemClockSeconds();

// True while a process whose executable is named `exeName` and that
// `parent` started runs. Only the children of one program count: tests
// running side by side start encoders of their own.
bool ProcessRunning(const char* exeName, DWORD parent);
// How many such processes run, and the processor time they have used
// together so far (100 ns units).
int ProcessCount(const char* exeName, DWORD parent);
uint64_t ProcessorTimeOf(const char* exeName, DWORD parent);
// Ends every such process, as a power cut would, and waits for each.
void KillProcesses(const char* exeName, DWORD parent);

// Polls every 100 ms for at most `ms`; the encoders are the program's
// children named `encoderExe`. Without a `list` (the benchmark, which should
// cost the machine little) the rows are not read: they run one at a time, so
// the row converting is the one whose encoder came last. `sample(row, bar)` runs at each poll
// while a row's encoder runs (for screenshots); it may be empty.
BatchWatch WatchBatch(DWORD pid, HWND list, int rows, const char* encoderExe,
                      const std::function<void(int row, int bar)>& sample, int ms);

}  // namespace e2e
