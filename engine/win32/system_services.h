#pragma once
// The worker's and the installation's services on this machine's Windows.
#include "../batch_worker.h"

// Real processes (Win32ProcessLauncher) and their progress records, the
// real system folder and files (Win32SystemFiles), Sleep and the keep-awake
// hold; all process-wide, alive until exit. No taskbar: that belongs to the
// main window.
WorkerServices SystemWorkerServices();

// The machine's files, as the worker and the installation see them.
SystemFiles& MachineFiles();

// InstallEncoder on the shell's real system folder (CSIDL_SYSTEM) and the
// folder of the running program's executable.
void InstallEncoder();
