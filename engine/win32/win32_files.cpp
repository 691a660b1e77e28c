#include "win32_files.h"

#include <windows.h>
#include <shlobj.h>

std::string Win32SystemFiles::SystemFolder() {
    if (folder_) return *folder_;
    // CSIDL_SYSTEM (0x25), not created; the buffer stays empty when the
    // shell cannot tell, which makes every name root-relative.
    char path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPathA(nullptr, path, CSIDL_SYSTEM, FALSE)) return std::string();
    path[MAX_PATH - 1] = '\0';
    return path;
}

bool Win32SystemFiles::RenameNoReplace(const std::string& from, const std::string& to) {
    // MoveFileA never replaces an existing file (ERROR_ALREADY_EXISTS).
    return MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

bool Win32SystemFiles::FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32SystemFiles::RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }
