#pragma once
// The logs folder on Windows, and the local time its names carry.
#include "../run_log.h"

class Win32RunLogFiles final : public RunLogFiles {
public:
    void MakeFolder(const std::string& folder) override;
    std::vector<std::string> ListLogs(const std::string& folder) override;
    bool Append(const std::string& path, const std::string& bytes) override;
    void Remove(const std::string& path) override;
};

LocalTime Win32LocalTime();
