#include "FolderChooser.h"

bool SelectOutputFolder(const std::string&, std::string&) { return false; }

void InstallCenterDialogHook() {}

LRESULT CALLBACK CenterDialogHook(int code, WPARAM wParam, LPARAM lParam) {
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
