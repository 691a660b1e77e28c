#include "shell_actions.h"

#include <shellapi.h>

#include <string>

const char kSupportMailAddress[] = "support@vidquill.example";
const char kHomePageAddress[] = "https://vidquill.example/";

void OpenHomePage(const ShellOpen& open) {
    if (open(kHomePageAddress, nullptr, SW_SHOW) <= 32) {
        open("IEXPLORE.EXE", kHomePageAddress, SW_SHOW);
    }
}

intptr_t ShellOpenNoOwner(const char* file, const char* parameters, int show) {
    return reinterpret_cast<intptr_t>(
        ShellExecuteA(nullptr, "open", file, parameters, nullptr, show));
}

void WriteToSupport() {
    std::string mail = std::string("mailto:") + kSupportMailAddress;
    ShellExecuteA(nullptr, "open", mail.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

bool OpenFolder(const std::string& folder, const ShellOpen& open) {
    const DWORD attributes = folder.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(folder.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return false;
    open(folder.c_str(), nullptr, SW_SHOW);
    return true;
}

void OpenFileWithItsProgram(HWND owner, const std::string& path) {
    const DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    ShellExecuteA(owner, "open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void OpenFolder(HWND owner, const std::string& folder) {
    OpenFolder(folder, [owner](const char* file, const char* parameters, int show) {
        return reinterpret_cast<intptr_t>(ShellExecuteA(owner, "open", file, parameters, nullptr, show));
    });
}
