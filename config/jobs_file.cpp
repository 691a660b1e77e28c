#include "jobs_file.h"

#include "codepage.h"
#include "trancor_files.h"

namespace {

const char kFirstLine[] = "Vidquill jobs 1";
const char kLastLine[] = "end";

// The texts a row's status may hold.
bool KnownStatus(const std::string& status) {
    return status.empty() || status == StatusProcessing() || status == StatusDone() ||
           status == StatusAbandoned() || status == StatusFailed();
}

// "source<TAB>target<TAB>status" back in the system code page; false for
// anything else.
bool ParseRow(const std::string& line, ConversionJob& row) {
    const size_t first = line.find('\t');
    const size_t second = first == std::string::npos ? first : line.find('\t', first + 1);
    if (second == std::string::npos || line.find('\t', second + 1) != std::string::npos) return false;
    if (!Utf8ToSystemExact(line.substr(0, first), row.Source) ||
        !Utf8ToSystemExact(line.substr(first + 1, second - first - 1), row.Target) ||
        !Utf8ToSystemExact(line.substr(second + 1), row.Status)) {
        return false;
    }
    return !row.Source.empty() && !row.Target.empty() && KnownStatus(row.Status);
}

}  // namespace

std::string FormatJobs(const JobList& jobs) {
    std::string text = std::string(kFirstLine) + "\r\n";
    for (int i = 0; i < jobs.Count(); ++i) {
        const ConversionJob& row = jobs.Row(i);
        text += SystemToUtf8(row.Source) + '\t' + SystemToUtf8(row.Target) + '\t' + SystemToUtf8(row.Status) + "\r\n";
    }
    return text + kLastLine + "\r\n";
}

bool ParseJobs(const std::string& text, std::vector<ConversionJob>& rows) {
    std::vector<std::string> lines;
    // A text editor may have put a byte-order mark in front.
    size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start < text.size()) {
        const size_t end = text.find("\r\n", start);
        if (end == std::string::npos) return false;  // cut off inside its last line
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    if (lines.size() < 2 || lines.front() != kFirstLine || lines.back() != kLastLine) return false;
    std::vector<ConversionJob> parsed(lines.size() - 2);
    for (size_t i = 0; i < parsed.size(); ++i) {
        if (!ParseRow(lines[i + 1], parsed[i])) return false;
    }
    rows = std::move(parsed);
    return true;
}

std::string JobsFileBeside(const std::string& configPath) {
    const size_t slash = LastBackslash(configPath);
    return (slash == std::string::npos ? std::string() : configPath.substr(0, slash + 1)) + "Vidquill.jobs";
}

bool JobsFile::Save(const JobList& jobs) {
    const std::string temporary = path_ + ".tmp";
    return files_.WriteFlushed(temporary, FormatJobs(jobs)) && files_.MoveReplacing(temporary, path_);
}

void JobsFile::Delete() { files_.Remove(path_); }

JobsFile::Leftover JobsFile::TakeLeftover() {
    Leftover leftover;
    // Killed between writing and renaming: the list under the real name is
    // the last one saved whole.
    files_.Remove(path_ + ".tmp");
    std::string text;
    const SavedFiles::ReadResult read = files_.ReadAll(path_, text);
    if (read == SavedFiles::ReadResult::Missing) return leftover;
    std::vector<ConversionJob> rows;
    if (read == SavedFiles::ReadResult::Failed || !ParseJobs(text, rows)) {
        leftover.setAside = path_ + ".bad";
        // When even that fails the file is at least not read again.
        if (!files_.MoveReplacing(path_, leftover.setAside)) files_.Remove(path_);
        return leftover;
    }
    for (ConversionJob& row : rows) {
        if (row.Status != StatusDone()) leftover.rows.push_back(std::move(row));
    }
    if (leftover.rows.empty()) Delete();
    return leftover;
}

void RestoreJobs(const std::vector<ConversionJob>& rows, JobList& jobs, SystemFiles& files) {
    bool numbered = false;
    int64_t highest = 0;
    for (const ConversionJob& row : rows) {
        jobs.AddNamedJob(row.Source, row.Target);
        files.RemoveFile(trancor::StagedPathFor(row.Target));
        files.RemoveFile(trancor::StagedPathFor(trancor::ThumbnailPathFor(row.Target)));
        int64_t number = 0;
        if (TargetNumber(row.Target, number) && (!numbered || number > highest)) {
            highest = number;
            numbered = true;
        }
    }
    if (numbered) jobs.NextNumber = NumberAfter(static_cast<int32_t>(highest));
}
