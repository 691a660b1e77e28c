#include "system_services.h"

#include <windows.h>

#include "../install_encoder.h"
#include "executable_path.h"
#include "win32_files.h"
#include "win32_keep_awake.h"
#include "win32_process.h"
#include "win32_progress.h"

SystemFiles& MachineFiles() {
    static Win32SystemFiles files;
    return files;
}

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

void InstallEncoder() {
    // The folder the program was started from, for an encoder beside it.
    const std::string exe = ExecutablePath();
    const size_t slash = exe.find_last_of('\\');
    InstallEncoder(MachineFiles(), slash == std::string::npos ? std::string() : exe.substr(0, slash));
}
