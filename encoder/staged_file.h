#pragma once
// How an output reaches its name without ever exposing a half-written file.
//
// Everything is written to "<target>.part" in the target's own folder (so the
// final move never crosses a volume), e.g. E:\M4V30000.MP4.part, and moved
// onto the target only once it is complete and closed; on Windows that is
// MoveFileExW with MOVEFILE_REPLACE_EXISTING. Until then an existing target
// keeps its old contents. When the process dies part-way (the program
// cancels a conversion with TerminateProcess) the ".part" file stays behind;
// the next run for the same target removes it before starting, and the
// program's worker removes it after a cancel. The thumbnail "<name>.THM"
// goes the same way through "<name>.THM.part".
#include <string>

class StagedFile {
public:
    // Removes a stale "<target>.part" left by an earlier run.
    explicit StagedFile(std::string target);
    // Removes the unfinished ".part" file unless Commit() succeeded.
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    const std::string& part_path() const { return part_; }
    // Moves the finished ".part" file onto the target. Throws Failure.
    void Commit();

private:
    std::string target_;
    std::string part_;
    bool committed_ = false;
};

