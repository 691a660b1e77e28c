#pragma once
// The ordered list of files to convert, the rule that names each target and
// the counter that feeds it.
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "conversion_settings.h"
#include "system_files.h"

struct ConversionJob {
    std::string Source;  // full path of the source video
    std::string Target;  // full path of the MP4 file to write
    std::string Status;  // "", "正在处理", "完成", "放弃" or "失败"
    std::string Reason;  // why the last run of a "失败" row failed
    std::string LogPath = {};  // the log of the row's last run; "" before its first
};

// Status texts, in the system code page.
const std::string& StatusProcessing();  // "正在处理"
const std::string& StatusDone();        // "完成"
const std::string& StatusAbandoned();   // "放弃"
const std::string& StatusFailed();      // "失败"

// folder + "\" (unless empty or already ending in one) + "M4V<number>.MP4",
// or "MAQ<number>.MP4" for H.264.
std::string MakeTargetPath(const std::string& folder, int32_t number, int32_t videoFormat = kVideoMpeg4);

// The number after `number`: a typed PspNumber may stand at the top of the
// range, after which the counter wraps to -2147483648 as a 32-bit counter
// does (in unsigned arithmetic, so it is defined).
constexpr int32_t NumberAfter(int32_t number) {
    return static_cast<int32_t>(static_cast<uint32_t>(number) + 1u);
}

// The number in a target's file name "M4V<number>.MP4" or "MAQ<number>.MP4",
// exactly as MakeTargetPath writes it; false for any other name.
bool TargetNumber(const std::string& target, int64_t& number);

// The text after the last backslash; "" when there is none.
std::string FileNameOf(const std::string& path);

// Told of every change, so a view can mirror the list.
class JobListListener {
public:
    virtual ~JobListListener() = default;
    virtual void RowInserted(int position) = 0;
    virtual void RowRemoved(int position) = 0;
    virtual void RowChanged(int position) = 0;  // target or status
    virtual void SelectionChanged(int position) = 0;
};

class JobList {
public:
    // The number the next named target receives; starts at kDefaultFirstNumber, never saved.
    int32_t NextNumber = kDefaultFirstNumber;

    void SetListener(JobListListener* listener) { listener_ = listener; }
    // Where new targets look for files already there; without it they only
    // avoid the other rows' targets.
    void SetFiles(SystemFiles* files) { files_ = files; }

    // Appends a row targeted at MakeTargetPath(TargetFolderFor(output,
    // videoFormat), number, videoFormat) for the first number from
    // NextNumber on whose name is free: no file of that name exists and no
    // other row has it as its target (paths compared case-blind). NextNumber
    // goes on after it.
    void AddJob(const std::string& source, const std::string& output, int32_t videoFormat = kVideoMpeg4);
    // NextNumber := pspNumber, then every row is named again in list order by
    // the same rule; a row may keep the name it has, file or no file.
    void RenumberAll(int32_t pspNumber, const std::string& output, int32_t videoFormat = kVideoMpeg4);
    // Appends a row under a target it already had (a list restored after a
    // crash); NextNumber does not change.
    void AddNamedJob(const std::string& source, const std::string& target);
    // Removes the selected row; nothing when none is selected.
    void RemoveSelected();
    // Every status and failure reason becomes empty.
    void ClearStatuses();
    // Writes to a position that no longer exists are dropped (return false).
    bool SetStatus(int position, const std::string& text);
    bool SetReason(int position, const std::string& reason);
    bool SetLogPath(int position, const std::string& path);
    // -1 or a position outside the list selects nothing.
    void Select(int position);
    int Selected() const { return selected_; }
    int Count() const { return static_cast<int>(rows_.size()); }
    const ConversionJob& Row(int position) const { return rows_.at(static_cast<size_t>(position)); }

private:
    void Notify(void (JobListListener::*event)(int), int position);
    // The next free name from NextNumber on, which NextNumber then passes;
    // `own` is a name the row asking may keep.
    std::string TakeFreeTarget(const std::string& folder, int32_t videoFormat, const std::string& own);
    void Forget(const std::string& target);

    std::vector<ConversionJob> rows_;
    // The rows' targets, folded to upper case, for the free-name rule.
    std::unordered_multiset<std::string> targets_;
    SystemFiles* files_ = nullptr;
    int selected_ = -1;
    JobListListener* listener_ = nullptr;
};
