#include "system_services.h"

#include <windows.h>

#include "../install_encoder.h"
#include "win32_files.h"
#include "win32_keep_awake.h"
#include "win32_process.h"
#include "win32_progress.h"

namespace {

Win32SystemFiles& MachineFiles() {
    static Win32SystemFiles files;
    return files;
}

}  // namespace

WorkerServices SystemWorkerServices() {
    static Win32ProcessLauncher launcher;
    static Win32ProgressChannel progress;
    static Win32KeepAwake keepAwake;
    WorkerServices services;
    services.launcher = &launcher;
    services.progress = &progress;
    services.keepAwake = &keepAwake;
    services.files = &MachineFiles();
    services.sleep = [](int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); };
    return services;
}

void InstallEncoder() { InstallEncoder(MachineFiles()); }
