#include "executable_path.h"

#include <windows.h>

std::string ExecutablePath() {
    char exe[MAX_PATH] = {};
    DWORD n = GetModuleFileNameA(nullptr, exe, MAX_PATH);
    return std::string(exe, n);
}
