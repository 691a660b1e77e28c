#include <windows.h>

#include <memory>

#include "failure.h"
#include "file_system.h"
#include "utf.h"

namespace fsys {
namespace {

std::string ErrorText(DWORD code) {
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                       FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, code, MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT),
                   reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string result = text ? WideToUtf8(text) : "error " + std::to_string(code);
    LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' || result.back() == '.'))
        result.pop_back();
    return result;
}

// Volume serial number and file index identify a file whatever its spelling.
bool Identity(const std::string& path, BY_HANDLE_FILE_INFORMATION* info) {
    // No access rights needed to read the identity; BACKUP_SEMANTICS lets a
    // folder be opened too.
    HANDLE h = CreateFileW(Utf8ToWide(path).c_str(), 0,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    const BOOL ok = GetFileInformationByHandle(h, info);
    CloseHandle(h);
    return ok != 0;
}

FailureReason ReasonOf(DWORD code) {
    switch (code) {
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
        return FailureReason::OutputFolderMissing;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return FailureReason::DiskFull;
    default:  // denied, shared, locked, write-protected, ...
        return FailureReason::OutputNotWritable;
    }
}

}  // namespace

void RemoveIfPresent(const std::string& path, const std::string& step) {
    if (DeleteFileW(Utf8ToWide(path).c_str())) return;
    const DWORD code = GetLastError();
    if (code != ERROR_FILE_NOT_FOUND && code != ERROR_PATH_NOT_FOUND)
        throw Failure(ReasonOf(code), path + ": " + step + ": " + ErrorText(code));
}

void Replace(const std::string& from, const std::string& to) {
    // Plain MoveFile refuses an existing target; REPLACE_EXISTING swaps it
    // in one call, so the old file stays until the new one takes its name.
    if (!MoveFileExW(Utf8ToWide(from).c_str(), Utf8ToWide(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD code = GetLastError();
        throw Failure(ReasonOf(code), to + ": cannot put the finished file in place: " + ErrorText(code));
    }
}

bool SameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION ia, ib;
    return Identity(a, &ia) && Identity(b, &ib) &&
           ia.dwVolumeSerialNumber == ib.dwVolumeSerialNumber &&
           ia.nFileIndexHigh == ib.nFileIndexHigh && ia.nFileIndexLow == ib.nFileIndexLow;
}

PathParts SplitPath(const std::string& path) {
    // Either slash separates; a drive's colon ends a folder too ("C:name").
    const size_t last = path.find_last_of("/\\:");
    const size_t cut = last == std::string::npos ? 0 : last + 1;
    return {path.substr(0, cut), path.substr(cut)};
}

std::vector<std::string> RegularFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    const HANDLE first = FindFirstFileW(Utf8ToWide(folder + "*").c_str(), &found);
    if (first == INVALID_HANDLE_VALUE) return names;
    const std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> search(first, FindClose);
    do {
        if (!(found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)))
            names.push_back(WideToUtf8(found.cFileName));
    } while (FindNextFileW(search.get(), &found));
    return names;
}

std::string TemporaryFolder() {
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);  // ends in a backslash
    if (length == 0 || length > MAX_PATH) return "";
    return WideToUtf8(std::wstring(folder, length));
}

}  // namespace fsys
