#include "run_log.h"

#include <algorithm>
#include <cstdio>

#include "codepage.h"
#include "job_list.h"

namespace {

const char kLogExtension[] = ".log";
// "-YYYYMMDD-HHMMSS.log": where a name's start time stands.
constexpr size_t kStampLength = 1 + 8 + 1 + 6;
constexpr size_t kExtensionLength = sizeof kLogExtension - 1;

std::string Digits(int value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", width, value);
    return text;
}

bool IsDigits(const std::string& text, size_t from, size_t count) {
    for (size_t i = from; i < from + count; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

// The "YYYYMMDD-HHMMSS" of a run log's name; false for other files.
bool StampOf(const std::string& name, std::string& stamp) {
    if (name.size() <= kStampLength + kExtensionLength) return false;
    const size_t at = name.size() - kExtensionLength - kStampLength;
    if (name.compare(name.size() - kExtensionLength, kExtensionLength, kLogExtension) != 0) return false;
    if (name[at] != '-' || name[at + 9] != '-' || !IsDigits(name, at + 1, 8) || !IsDigits(name, at + 10, 6))
        return false;
    stamp = name.substr(at + 1, kStampLength - 1);
    return true;
}

}  // namespace

std::string RunLogFileName(const std::string& target, const LocalTime& start) {
    std::string name = FileNameOf(target);
    if (name.empty()) name = target;  // a target without a folder
    return name + "-" + Digits(start.year, 4) + Digits(start.month, 2) + Digits(start.day, 2) + "-" +
           Digits(start.hour, 2) + Digits(start.minute, 2) + Digits(start.second, 2) + kLogExtension;
}

std::string LogTimeText(const LocalTime& time) {
    return Digits(time.year, 4) + "-" + Digits(time.month, 2) + "-" + Digits(time.day, 2) + " " +
           Digits(time.hour, 2) + ":" + Digits(time.minute, 2) + ":" + Digits(time.second, 2);
}

std::vector<std::string> LogsBeyondLimit(std::vector<std::string> names, size_t keep) {
    std::vector<std::pair<std::string, std::string>> logs;  // stamp, name
    for (std::string& name : names) {
        std::string stamp;
        if (StampOf(name, stamp)) logs.emplace_back(std::move(stamp), std::move(name));
    }
    if (logs.size() <= keep) return {};
    std::sort(logs.begin(), logs.end());
    std::vector<std::string> oldest;
    for (size_t i = 0; i < logs.size() - keep; ++i) oldest.push_back(std::move(logs[i].second));
    return oldest;
}

RunLogBook::RunLogBook(RunLogFiles& files, std::string folder, Clock now)
    : files_(files), folder_(std::move(folder)), now_(std::move(now)) {}

std::string RunLogBook::Begin(const std::string& target, const std::string& commandLine) {
    const LocalTime start = now_();
    files_.MakeFolder(folder_);
    const std::string path = folder_ + "\\" + RunLogFileName(target, start);
    const std::string header = "\xEF\xBB\xBF" + SystemToUtf8(SysText("命令行：") + commandLine) + "\r\n" +
                               SystemToUtf8(SysText("开始：")) + LogTimeText(start) + "\r\n\r\n";
    if (!files_.Append(path, header)) return "";
    // The new log counts among those kept.
    for (const std::string& name : LogsBeyondLimit(files_.ListLogs(folder_), kRunLogsKept))
        files_.Remove(folder_ + "\\" + name);
    return path;
}

void RunLogBook::End(const std::string& path, const RunLogEnd& end) {
    if (path.empty()) return;
    std::string footer = "\r\n" + SystemToUtf8(SysText("结束：")) + LogTimeText(now_()) + "\r\n" +
                         SystemToUtf8(SysText("退出代码：")) +
                         (end.exitCodeKnown ? std::to_string(end.exitCode) : SystemToUtf8(SysText("未知"))) + "\r\n";
    if (!end.reason.empty() || !end.detail.empty()) {
        footer += SystemToUtf8(SysText("原因：") + end.reason);
        if (!end.detail.empty()) footer += (end.reason.empty() ? "" : " - ") + end.detail;
        footer += "\r\n";
    }
    files_.Append(path, footer);
}

std::string RunLogFolderBeside(const std::string& configPath) {
    const size_t slash = LastBackslash(configPath);
    return (slash == std::string::npos ? std::string() : configPath.substr(0, slash + 1)) + "logs";
}
