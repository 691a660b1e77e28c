#pragma once
// The worker's and the installation's services on this machine's Windows.
#include "../test_thread.h"

// Real processes (Win32ProcessLauncher), the real system folder and files
// (Win32SystemFiles) and Sleep; all process-wide, alive until exit.
WorkerServices SystemWorkerServices();

// InstallEncoder on the shell's real system folder (CSIDL_SYSTEM).
void InstallEncoder();
