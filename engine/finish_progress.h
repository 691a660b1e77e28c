#pragma once
// The end-of-run animation of the progress window's bar, driven from the
// worker thread: every read and step of the bar and the final redraw go
// through `ui` (so they happen on the UI thread); only the pauses hold the
// worker.
#include <functional>

#include "worker_ui.h"

// Pauses the calling thread for a number of milliseconds.
using SleepFunction = std::function<void(int milliseconds)>;

// From position p the bar climbs in steps of 5, one every 10 ms, to its
// maximum - ceil((max - p) / 5) steps, none when it is already full - and
// then the main window is redrawn at once. A bar that does not move when
// stepped ends the climb, so a vanished window cannot hold the worker.
void FinishProgress(WorkerUi& ui, const SleepFunction& sleep);
