#include <windows.h>
#include <shlobj.h>

#include "../../engine/codepage.h"
#include "../drive_probe.h"
#include "../first_start.h"

namespace {

// Long enough for any drive that is awake; a PSP drive that is still waking
// up is passed over for the Videos folder, which the user can change.
constexpr std::chrono::milliseconds kDriveAnswerLimit{500};

bool Exists(const std::string& path, bool folder) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return !folder || (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// A shell folder in the system code page: as it is when the code page holds
// it, else its short form (a user name outside the code page), else "".
std::string ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    std::string system;
    if (Utf8ToSystemExact(WideToUtf8(path), system)) return system;
    wchar_t shortPath[MAX_PATH] = {};
    DWORD n = GetShortPathNameW(path, shortPath, MAX_PATH);
    if (n == 0 || n >= MAX_PATH || !Utf8ToSystemExact(WideToUtf8(shortPath), system)) return {};
    return system;
}

// An empty card reader must fail quietly, not ask for a disk.
bool QuietlyExists(const std::string& path) {
    DWORD old = 0;
    SetThreadErrorMode(SEM_FAILCRITICALERRORS, &old);
    const bool exists = Exists(path, true);
    SetThreadErrorMode(old, nullptr);
    return exists;
}

bool MayHoldPsp(char letter) {
    const char root[] = {letter, ':', '\\', '\0'};
    // A PSP shows as a removable drive, some card readers as fixed ones; CD
    // drives and network drives (which may hang when disconnected) are never
    // a PSP. A missing drive, or one without a medium, is neither.
    const UINT type = GetDriveTypeA(root);
    return (type == DRIVE_REMOVABLE || type == DRIVE_FIXED) && QuietlyExists(root);
}

class Win32FirstStartSystem final : public FirstStartSystem {
public:
    bool Missing(const std::string& path) override {
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }

    std::string DriveLetters() override {
        // Each root asked on its own rather than GetLogicalDrives: under
        // Wine that mask lags behind a drive mapped while the server runs.
        return LettersAnsweringYes("ABCDEFGHIJKLMNOPQRSTUVWXYZ", MayHoldPsp, kDriveAnswerLimit);
    }

    bool FolderExists(const std::string& path) override { return QuietlyExists(path); }

    bool CreateFolder(const std::string& path) override {
        return CreateDirectoryA(path.c_str(), nullptr) || Exists(path, true);
    }

    std::string VideosFolder() override { return ShellFolder(CSIDL_MYVIDEO); }
    std::string DocumentsFolder() override { return ShellFolder(CSIDL_PERSONAL); }
};

}  // namespace

std::unique_ptr<FirstStartSystem> MakeSystemFirstStart() {
    return std::make_unique<Win32FirstStartSystem>();
}
