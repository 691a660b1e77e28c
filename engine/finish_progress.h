#pragma once
// The end-of-run climb of a row's bar when one row converts at a time:
// after the encoder has exited the bar runs quickly to its end.
#include <functional>

// Pauses the calling thread for a number of milliseconds.
using SleepFunction = std::function<void(int milliseconds)>;

// From position p the bar climbs in steps of 5, one every 10 ms, to
// kProgressBarMax - ceil((max - p) / 5) steps, none when it is already
// full. `show` gets each new position and returns false to end the climb
// early (a cancel).
void FinishProgress(int position, const std::function<bool(int position)>& show, const SleepFunction& sleep);
