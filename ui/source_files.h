#pragma once
// Reading what the user chose or dropped in wide-character form, judging it
// (file_selection.h) against the real file system, and telling the user
// about files that cannot be added.
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "file_selection.h"

// The file system as FindFirstFileW and GetShortPathNameW see it.
class Win32SourceFileSystem final : public SourceFileSystem {
public:
    bool IsFolder(const std::string& path) override;
    std::vector<Entry> List(const std::string& folder) override;
    std::string ShortPath(const std::string& path) override;
};

// The dropped paths in UTF-8, in the order the shell gives them; finishes
// the drop.
std::vector<std::string> ReadDroppedPaths(HDROP drop);

// When some files could not be added: one message over `owner` that lists
// them and says why. Nothing when the list is empty.
void ReportNotAdded(HWND owner, const std::vector<std::string>& notAdded);
