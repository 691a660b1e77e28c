#include "system_services.h"

#include <windows.h>

#include "../install_encoder.h"
#include "win32_files.h"
#include "win32_process.h"

namespace {

Win32SystemFiles& MachineFiles() {
    static Win32SystemFiles files;
    return files;
}

}  // namespace

WorkerServices SystemWorkerServices() {
    static Win32ProcessLauncher launcher;
    WorkerServices services;
    services.launcher = &launcher;
    services.files = &MachineFiles();
    services.sleep = [](int milliseconds) { Sleep(static_cast<DWORD>(milliseconds)); };
    return services;
}

void InstallEncoder() { InstallEncoder(MachineFiles()); }
