#include "job_list.h"

#include "codepage.h"
#include "number_text.h"
#include "psp_folders.h"

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

std::string FileNameOf(const std::string& path) {
    size_t slash = LastBackslash(path);
    return slash == std::string::npos ? std::string() : path.substr(slash + 1);
}

void JobList::Notify(void (JobListListener::*event)(int), int position) {
    if (listener_) (listener_->*event)(position);
}

void JobList::AddJob(const std::string& source, const std::string& output, int32_t videoFormat) {
    rows_.push_back({source, MakeTargetPath(TargetFolderFor(output, videoFormat), NextNumber, videoFormat), "", ""});
    NextNumber = NumberAfter(NextNumber);
    Notify(&JobListListener::RowInserted, Count() - 1);
}

void JobList::RenumberAll(int32_t pspNumber, const std::string& output, int32_t videoFormat) {
    NextNumber = pspNumber;
    const std::string folder = TargetFolderFor(output, videoFormat);
    for (size_t i = 0; i < rows_.size(); ++i) {
        rows_[i].Target = MakeTargetPath(folder, NextNumber, videoFormat);
        NextNumber = NumberAfter(NextNumber);
        Notify(&JobListListener::RowChanged, static_cast<int>(i));
    }
}

void JobList::RemoveSelected() {
    if (selected_ < 0 || selected_ >= Count()) return;
    int position = selected_;
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
