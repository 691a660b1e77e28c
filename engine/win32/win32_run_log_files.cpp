#include "win32_run_log_files.h"

#include "unique_handle.h"

void Win32RunLogFiles::MakeFolder(const std::string& folder) {
    // Fails harmlessly when it is there already.
    CreateDirectoryA(folder.c_str(), nullptr);
}

std::vector<std::string> Win32RunLogFiles::ListLogs(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE first = FindFirstFileA((folder + "\\*.log").c_str(), &found);
    if (first == INVALID_HANDLE_VALUE) return names;
    UniqueWinObject<HANDLE, CloseWith<FindClose>> search(first);
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.emplace_back(found.cFileName);
    } while (FindNextFileA(search.Get(), &found));
    return names;
}

bool Win32RunLogFiles::Append(const std::string& path, const std::string& bytes) {
    // Shared for writing: the encoder may still hold the file through its
    // inherited output handle.
    UniqueHandle file(CreateFileA(path.c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    return WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

void Win32RunLogFiles::Remove(const std::string& path) { DeleteFileA(path.c_str()); }

LocalTime Win32LocalTime() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    LocalTime time;
    time.year = now.wYear;
    time.month = now.wMonth;
    time.day = now.wDay;
    time.hour = now.wHour;
    time.minute = now.wMinute;
    time.second = now.wSecond;
    return time;
}
