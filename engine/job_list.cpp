#include "job_list.h"

#include "app_error.h"
#include "codepage.h"
#include "number_text.h"
#include "psp_folders.h"

namespace {

// Windows compares names without regard to case; the second byte of a
// two-byte character stays as it is.
std::string FoldedPath(std::string path) {
    for (size_t i = 0; i < path.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(path[i]);
        if (IsLeadByte(c)) ++i;
        else if (c >= 'a' && c <= 'z') path[i] = static_cast<char>(c - 'a' + 'A');
    }
    return path;
}

}  // namespace

const std::string& StatusProcessing() { return SysText("正在处理"); }
const std::string& StatusDone() { return SysText("完成"); }
const std::string& StatusAbandoned() { return SysText("放弃"); }
const std::string& StatusFailed() { return SysText("失败"); }

std::string MakeTargetPath(const std::string& folder, int32_t number, int32_t videoFormat) {
    std::string path = folder;
    if (!path.empty() && LastBackslash(path) != path.size() - 1) path += '\\';
    // The PSP lists H.264 files only under the names it gives them itself.
    return path + (videoFormat == kVideoH264 ? "MAQ" : "M4V") + IntToText(number) + ".MP4";
}

bool TargetNumber(const std::string& target, int64_t& number) {
    const size_t slash = LastBackslash(target);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    const size_t head = 3;  // "M4V", or "MAQ" for H.264
    const std::string start = name.substr(0, head), tail = ".MP4";
    if (name.size() <= head + tail.size() || (start != "M4V" && start != "MAQ") ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0) {
        return false;
    }
    std::string digits = name.substr(head, name.size() - head - tail.size());
    // Only what IntToText produces: TextToInt alone would also take "$1F".
    bool negative = digits[0] == '-';
    if (digits.size() == (negative ? 1u : 0u)) return false;
    for (size_t i = negative ? 1 : 0; i < digits.size(); ++i) {
        if (digits[i] < '0' || digits[i] > '9') return false;
    }
    try {
        number = TextToInt(digits);
    } catch (const ConversionError&) {
        return false;
    }
    return IntToText(static_cast<int32_t>(number)) == digits;
}

std::string FileNameOf(const std::string& path) {
    size_t slash = LastBackslash(path);
    return slash == std::string::npos ? std::string() : path.substr(slash + 1);
}

void JobList::Notify(void (JobListListener::*event)(int), int position) {
    if (listener_) (listener_->*event)(position);
}

std::string JobList::TakeFreeTarget(const std::string& folder, int32_t videoFormat, const std::string& own) {
    const std::string ownFolded = FoldedPath(own);
    for (;;) {
        std::string target = MakeTargetPath(folder, NextNumber, videoFormat);
        NextNumber = NumberAfter(NextNumber);
        const std::string folded = FoldedPath(target);
        if (targets_.count(folded) > 0) continue;
        // One look at the disk per number, and none for the row's own name.
        if (folded != ownFolded && files_ && files_->FileExists(target)) continue;
        targets_.insert(folded);
        return target;
    }
}

void JobList::Forget(const std::string& target) {
    auto it = targets_.find(FoldedPath(target));
    if (it != targets_.end()) targets_.erase(it);
}

void JobList::AddJob(const std::string& source, const std::string& output, int32_t videoFormat) {
    std::string target = TakeFreeTarget(TargetFolderFor(output, videoFormat), videoFormat, std::string());
    rows_.push_back({source, std::move(target), "", ""});
    Notify(&JobListListener::RowInserted, Count() - 1);
}

void JobList::AddNamedJob(const std::string& source, const std::string& target) {
    targets_.insert(FoldedPath(target));
    rows_.push_back({source, target, "", ""});
    Notify(&JobListListener::RowInserted, Count() - 1);
}

void JobList::RenumberAll(int32_t pspNumber, const std::string& output, int32_t videoFormat) {
    NextNumber = pspNumber;
    const std::string folder = TargetFolderFor(output, videoFormat);
    for (size_t i = 0; i < rows_.size(); ++i) {
        ConversionJob& row = rows_[i];
        Forget(row.Target);
        row.Target = TakeFreeTarget(folder, videoFormat, row.Target);
        Notify(&JobListListener::RowChanged, static_cast<int>(i));
    }
}

void JobList::RemoveSelected() {
    if (selected_ < 0 || selected_ >= Count()) return;
    int position = selected_;
    Forget(rows_[static_cast<size_t>(position)].Target);
    rows_.erase(rows_.begin() + position);
    selected_ = -1;
    Notify(&JobListListener::RowRemoved, position);
}

void JobList::ClearStatuses() {
    for (size_t i = 0; i < rows_.size(); ++i) {
        rows_[i].Reason.clear();
        SetStatus(static_cast<int>(i), "");
    }
}

bool JobList::SetStatus(int position, const std::string& text) {
    if (position < 0 || position >= Count()) return false;
    rows_[static_cast<size_t>(position)].Status = text;
    Notify(&JobListListener::RowChanged, position);
    return true;
}

bool JobList::SetReason(int position, const std::string& reason) {
    if (position < 0 || position >= Count()) return false;
    rows_[static_cast<size_t>(position)].Reason = reason;
    Notify(&JobListListener::RowChanged, position);
    return true;
}

bool JobList::SetLogPath(int position, const std::string& path) {
    if (position < 0 || position >= Count()) return false;
    rows_[static_cast<size_t>(position)].LogPath = path;
    return true;
}

void JobList::Select(int position) {
    selected_ = (position >= 0 && position < Count()) ? position : -1;
    Notify(&JobListListener::SelectionChanged, selected_);
}
