#pragma once
// One log file per encoder run, in the "logs" folder beside Config.ini:
// a header with the command line and the start time, then everything the
// encoder wrote to stdout and stderr (the launcher points both at the file),
// then the end time, the exit code and the reason. UTF-8 with a byte-order
// mark, so Notepad shows the Chinese lines and the encoder's own output alike.
// Only the newest kRunLogsKept files stay.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

constexpr size_t kRunLogsKept = 200;

struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// "<target's file name>-YYYYMMDD-HHMMSS.log", e.g. "M4V30000.MP4-20261209-025419.log".
std::string RunLogFileName(const std::string& target, const LocalTime& start);
// "YYYY-MM-DD HH:MM:SS".
std::string LogTimeText(const LocalTime& time);

// Of the log file names in a folder, those to delete so that `keep` remain:
// the oldest by the start time in their names (not by their targets' names).
// Names that are not run logs are never chosen.
std::vector<std::string> LogsBeyondLimit(std::vector<std::string> names, size_t keep);

// How a run ended, for the log's last lines.
struct RunLogEnd {
    bool exitCodeKnown = false;
    uint32_t exitCode = 0;
    std::string reason;  // system code page; empty for a run that succeeded
    std::string detail;  // the encoder's own one-line detail, UTF-8
};

// The file operations on the logs folder (system code page paths).
class RunLogFiles {
public:
    virtual ~RunLogFiles() = default;
    virtual void MakeFolder(const std::string& folder) = 0;
    // The names (not paths) of the "*.log" files in `folder`.
    virtual std::vector<std::string> ListLogs(const std::string& folder) = 0;
    // Appends `bytes`, creating the file; false when it cannot be written.
    virtual bool Append(const std::string& path, const std::string& bytes) = 0;
    virtual void Remove(const std::string& path) = 0;
};

class RunLogBook {
public:
    using Clock = std::function<LocalTime()>;
    // `folder`: the logs folder, made when the first log is written.
    RunLogBook(RunLogFiles& files, std::string folder, Clock now);

    // Writes a new log's header and removes the oldest logs beyond the
    // limit. The log's path, or "" when it cannot be written (the run goes
    // on without one).
    std::string Begin(const std::string& target, const std::string& commandLine);
    void End(const std::string& path, const RunLogEnd& end);

private:
    RunLogFiles& files_;
    std::string folder_;
    Clock now_;
};

// "logs" beside the file at `configPath` (Config.ini).
std::string RunLogFolderBeside(const std::string& configPath);
