#include "win32_power_action.h"

#include <windows.h>

#include <powrprof.h>

#include "unique_handle.h"

namespace {

// Both requests need the shutdown privilege, which a user's token holds
// but does not have enabled.
bool EnableShutdownPrivilege() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
    UniqueHandle owned(token);
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid)) return false;
    // Succeeds even when nothing was enabled; ERROR_NOT_ALL_ASSIGNED tells.
    if (!AdjustTokenPrivileges(owned.Get(), FALSE, &privileges, 0, nullptr, nullptr)) return false;
    return GetLastError() == ERROR_SUCCESS;
}

}  // namespace

bool Win32PowerAction::ShutDown() {
    EnableShutdownPrivilege();
    return ExitWindowsEx(EWX_SHUTDOWN | EWX_POWEROFF,
                         SHTDN_REASON_MAJOR_OTHER | SHTDN_REASON_MINOR_OTHER | SHTDN_REASON_FLAG_PLANNED) != 0;
}

bool Win32PowerAction::Sleep() {
    EnableShutdownPrivilege();
    return SetSuspendState(FALSE, FALSE, FALSE) != FALSE;
}
