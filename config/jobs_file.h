#pragma once
// The job list kept beside Config.ini while the program runs, so that a list
// interrupted by a crash, a power cut or a forced restart comes back.
//
// "Vidquill.jobs" is UTF-8 text: the line "Vidquill jobs 1", then one line a
// row - source, target and status separated by tabs (no Windows path holds
// a tab) - and the line "end", each closed by CR LF. A normal close deletes
// it, so a file found at start means the last run did not end normally.
#include <string>
#include <vector>

#include "job_list.h"
#include "saved_files.h"
#include "system_files.h"

// The file's text for these rows.
std::string FormatJobs(const JobList& jobs);
// The rows of such a text, statuses as saved; false when the text is damaged
// in any way (`rows` is then left as it was).
bool ParseJobs(const std::string& text, std::vector<ConversionJob>& rows);

// "Vidquill.jobs" in the folder of `configPath`.
std::string JobsFileBeside(const std::string& configPath);

class JobsFile {
public:
    JobsFile(SavedFiles& files, std::string path) : files_(files), path_(std::move(path)) {}

    const std::string& Path() const { return path_; }
    // Writes the list through "<path>.tmp"; false when the system refused,
    // and the file then holds the last list saved.
    bool Save(const JobList& jobs);
    // No list to come back: a normal close, or the user said no.
    void Delete();

    struct Leftover {
        std::vector<ConversionJob> rows;  // the rows not "完成", in order, statuses as saved
        std::string setAside;             // where a damaged file went ("<path>.bad"); "" otherwise
    };
    // What the last run left unfinished. A damaged or unreadable file is
    // moved to "<path>.bad" (replacing an older one), a list with nothing
    // unfinished is deleted, and a temporary file left by a run killed while
    // saving goes.
    Leftover TakeLeftover();

private:
    SavedFiles& files_;
    std::string path_;
};

// Puts `rows` back at the end of `jobs` with empty statuses and their old
// targets; NextNumber goes on after the highest of their numbers; the
// staged files a killed encoder left beside their targets are removed.
void RestoreJobs(const std::vector<ConversionJob>& rows, JobList& jobs, SystemFiles& files);
