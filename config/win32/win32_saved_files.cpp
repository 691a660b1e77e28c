#include <windows.h>

#include "win32/unique_handle.h"
#include "../saved_files.h"

namespace {

class Win32SavedFiles final : public SavedFiles {
public:
    ReadResult ReadAll(const std::string& path, std::string& bytes) override {
        UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            const DWORD error = GetLastError();
            return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadResult::Missing
                                                                                  : ReadResult::Failed;
        }
        LARGE_INTEGER size{};
        // A list file is small; anything near 2 GB is not one of ours.
        if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart > 0x40000000) return ReadResult::Failed;
        std::string text(static_cast<size_t>(size.QuadPart), '\0');
        DWORD read = 0;
        if (!text.empty() && (!ReadFile(file.Get(), &text[0], static_cast<DWORD>(text.size()), &read, nullptr) ||
                              read != text.size())) {
            return ReadResult::Failed;
        }
        bytes = std::move(text);
        return ReadResult::Read;
    }

    bool WriteFlushed(const std::string& path, const std::string& bytes) override {
        UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return false;
        DWORD written = 0;
        if (!bytes.empty() && (!WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                                          nullptr) ||
                               written != bytes.size())) {
            return false;
        }
        // On the disk before the rename makes it the list: a power cut must
        // not leave an empty file under the real name.
        return FlushFileBuffers(file.Get()) != FALSE;
    }

    bool MoveReplacing(const std::string& from, const std::string& to) override {
        return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
    }

    bool Remove(const std::string& path) override { return DeleteFileA(path.c_str()) != FALSE; }
};

}  // namespace

std::unique_ptr<SavedFiles> MakeSystemSavedFiles() { return std::make_unique<Win32SavedFiles>(); }
