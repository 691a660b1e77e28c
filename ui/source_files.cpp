#include "source_files.h"

#include "app_shell.h"
#include "codepage.h"

namespace {

// FindFirstFileW's search handle.
class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    ~FindHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
    }
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

bool Win32SourceFileSystem::IsFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesW(Utf8ToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<SourceFileSystem::Entry> Win32SourceFileSystem::List(const std::string& folder) {
    std::wstring pattern = Utf8ToWide(folder);
    if (!pattern.empty() && pattern.back() != L'\\') pattern += L'\\';
    pattern += L'*';
    std::vector<Entry> entries;
    WIN32_FIND_DATAW found{};
    FindHandle search(FindFirstFileW(pattern.c_str(), &found));
    if (!search.Valid()) return entries;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        Entry entry;
        entry.name = WideToUtf8(name);
        entry.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        // Junctions and symbolic links are reparse points (under Wine a
        // Unix symbolic link reads as one too).
        entry.link = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entries.push_back(entry);
    } while (FindNextFileW(search.Get(), &found));
    return entries;
}

std::string Win32SourceFileSystem::ShortPath(const std::string& path) {
    std::wstring wide = Utf8ToWide(path);
    DWORD length = GetShortPathNameW(wide.c_str(), nullptr, 0);
    if (length == 0) return std::string();
    std::wstring shortPath(length, L'\0');
    length = GetShortPathNameW(wide.c_str(), shortPath.data(), length);
    if (length == 0 || length >= shortPath.size()) return std::string();
    shortPath.resize(length);
    return WideToUtf8(shortPath);
}

std::vector<std::string> ReadDroppedPaths(HDROP drop) {
    std::vector<std::string> paths;
    UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        UINT length = DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length + 1, L'\0');
        DragQueryFileW(drop, i, path.data(), length + 1);
        path.resize(length);
        paths.push_back(WideToUtf8(path));
    }
    DragFinish(drop);
    return paths;
}

void ReportNotAdded(HWND owner, const std::vector<std::string>& notAdded) {
    if (notAdded.empty()) return;
    // The names are the very ones the code page cannot hold, so this one
    // message goes through the wide-character function.
    MessageBoxW(owner, Utf8ToWide(NotAddedMessage(notAdded)).c_str(),
                Utf8ToWide("注意").c_str(), MB_OK | MB_ICONEXCLAMATION);
}
