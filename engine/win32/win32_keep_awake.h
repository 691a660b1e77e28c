#pragma once
// Keeping the computer awake during a batch: SetThreadExecutionState on the
// worker thread. The state belongs to the calling thread and ends with it at
// the latest.
#include "../batch_indicators.h"

class Win32KeepAwake final : public KeepAwake {
public:
    void Hold() override;
    void Release() override;
};
