#pragma once
// Whole files that must survive a crash or a power cut at any moment: one is
// written under a temporary name, flushed to the disk and then renamed over
// the old one, so a reader finds the old text or the new, never a mix.
// Paths in the system code page.
#include <memory>
#include <string>

class SavedFiles {
public:
    enum class ReadResult { Read, Missing, Failed };

    virtual ~SavedFiles() = default;
    // The file's bytes; Missing when nothing of that name is there, Failed
    // when it is there but cannot be read.
    virtual ReadResult ReadAll(const std::string& path, std::string& bytes) = 0;
    // Creates or empties `path`, writes `bytes` and flushes them to the disk.
    virtual bool WriteFlushed(const std::string& path, const std::string& bytes) = 0;
    // Renames `from` to `to` in one step, replacing an existing `to`.
    virtual bool MoveReplacing(const std::string& from, const std::string& to) = 0;
    // Deletes a file; false when it was not there or could not be deleted.
    virtual bool Remove(const std::string& path) = 0;
};

// Portable C++ and POSIX rename (native builds and tests).
std::unique_ptr<SavedFiles> MakePortableSavedFiles();
// The system's own calls: Win32 on Windows, the portable ones elsewhere.
std::unique_ptr<SavedFiles> MakeSystemSavedFiles();
