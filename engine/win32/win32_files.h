#pragma once
// The file services on Windows: the shell's system folder, MoveFileA,
// GetFileAttributesA, DeleteFileA.
#include <optional>

#include "../system_files.h"

class Win32SystemFiles final : public SystemFiles {
public:
    Win32SystemFiles() = default;
    // A folder that stands in for the system folder (tests).
    explicit Win32SystemFiles(std::string systemFolder) : folder_(std::move(systemFolder)) {}

    std::string SystemFolder() override;
    bool RenameNoReplace(const std::string& from, const std::string& to) override;
    bool FileExists(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;

private:
    std::optional<std::string> folder_;
};
