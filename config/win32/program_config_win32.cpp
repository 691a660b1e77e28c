#include <windows.h>

#include "../program_config.h"
#include "../settings_store.h"

std::string ProgramConfigPath() {
    char exe[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    return ConfigPath(std::string(exe, n));
}
