#pragma once
// Shutting the machine down or putting it to sleep, on Windows.
#include "../after_batch.h"

class Win32PowerAction final : public PowerAction {
public:
    // ExitWindowsEx(EWX_SHUTDOWN | EWX_POWEROFF) without EWX_FORCE: every
    // program is asked and may refuse. Takes SE_SHUTDOWN_NAME first.
    bool ShutDown() override;
    // SetSuspendState: sleep, not hibernation; wake events stay allowed.
    bool Sleep() override;
};
