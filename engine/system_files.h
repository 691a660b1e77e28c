#pragma once
// The file services the encoder installation and the worker need, behind an
// interface so tests can stand a temporary folder in for the system folder.
// Paths are in the system code page.
#include <string>

class SystemFiles {
public:
    virtual ~SystemFiles() = default;
    // The system folder without a trailing backslash; "" when the system
    // cannot report it.
    virtual std::string SystemFolder() = 0;
    // Renames `from` to `to`; never replaces an existing `to`. False on failure.
    virtual bool RenameNoReplace(const std::string& from, const std::string& to) = 0;
    // True when `path` names an existing file (not a folder).
    virtual bool FileExists(const std::string& path) = 0;
    // Deletes a file; false when it was not there or could not be deleted.
    virtual bool RemoveFile(const std::string& path) = 0;
};
