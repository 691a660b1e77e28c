// A log per row: what the worker writes into it and hands the launcher, and
// which old logs go when there are too many.
#include <algorithm>
#include <map>
#include <set>

#include "run_log.h"
#include "worker_fixture.h"

using trancor::FailureReason;
using trancor::RunState;

namespace {

// The logs folder in memory; the encoder's own output is not simulated.
class MemoryLogFiles final : public RunLogFiles {
public:
    void MakeFolder(const std::string& folder) override { folders.insert(folder); }
    std::vector<std::string> ListLogs(const std::string& folder) override {
        std::vector<std::string> names;
        for (const auto& file : files)
            if (file.first.rfind(folder + "\\", 0) == 0 && file.first.size() > 4 &&
                file.first.compare(file.first.size() - 4, 4, ".log") == 0)
                names.push_back(file.first.substr(folder.size() + 1));
        return names;
    }
    bool Append(const std::string& path, const std::string& bytes) override {
        files[path] += bytes;
        return true;
    }
    void Remove(const std::string& path) override {
        removed.push_back(path);
        files.erase(path);
    }

    std::map<std::string, std::string> files;
    std::set<std::string> folders;
    std::vector<std::string> removed;
};

const char kFolder[] = "C:\\app\\logs";

LocalTime At(int day, int hour, int minute, int second) {
    LocalTime time;
    time.year = 2026;
    time.month = 12;
    time.day = day;
    time.hour = hour;
    time.minute = minute;
    time.second = second;
    return time;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class RunLogs : public WorkerFixture {
protected:
    std::unique_ptr<BatchWorker> NewLoggingWorker() {
        WorkerServices services;
        services.launcher = &launcher;
        services.files = &files;
        services.progress = &launcher;
        services.sleep = [](int) {};
        services.logs = &book;
        return std::make_unique<BatchWorker>(setup, services);
    }

    MemoryLogFiles logFiles;
    LocalTime now = At(9, 2, 54, 19);
    RunLogBook book{logFiles, kFolder, [this] { return now; }};
};

}  // namespace

TEST_F(RunLogs, EachRowsRunGoesToItsOwnLogWithCommandTimesExitCodeAndTheEnglishDetail) {
    AddRows(2);
    FakeRunPlan full(false, 1);
    full.reports = {Report(1000000, -1, RunState::Failed, FailureReason::DiskFull,
                           "E:\\PSP\\M4V30000.MP4.part: No space left on device")};
    launcher.plans = {full, FakeRunPlan()};
    auto worker = NewLoggingWorker();
    RunBatch(*worker);
    const BatchView end = worker->View();
    ASSERT_EQ(end.rows.size(), 2u);

    const std::string first = std::string(kFolder) + "\\M4V30000.MP4-20261209-025419.log";
    const std::string second = std::string(kFolder) + "\\M4V30001.MP4-20261209-025419.log";
    EXPECT_EQ(end.rows[0].logPath, first);
    EXPECT_EQ(end.rows[1].logPath, second);
    // The launcher points the encoder's output at the same files.
    EXPECT_EQ(launcher.OutputFiles(), (std::vector<std::string>{first, second}));
    // The tip: Chinese only; the English words are in the log.
    EXPECT_EQ(end.rows[0].reason, S("目标磁盘已满"));

    const std::string& failed = logFiles.files[first];
    EXPECT_EQ(failed.rfind("\xEF\xBB\xBF", 0), 0u) << "UTF-8 with a byte-order mark";
    EXPECT_TRUE(Contains(failed, SystemToUtf8(S("命令行：") + launcher.CommandLines()[0]) + "\r\n"));
    EXPECT_TRUE(Contains(failed, SystemToUtf8(S("开始：")) + "2026-12-09 02:54:19\r\n"));
    EXPECT_TRUE(Contains(failed, SystemToUtf8(S("结束：")) + "2026-12-09 02:54:19\r\n"));
    EXPECT_TRUE(Contains(failed, SystemToUtf8(S("退出代码：")) + "1\r\n"));
    EXPECT_TRUE(Contains(failed, SystemToUtf8(S("原因：目标磁盘已满")) +
                                     " - E:\\PSP\\M4V30000.MP4.part: No space left on device\r\n"));
    const std::string& done = logFiles.files[second];
    EXPECT_TRUE(Contains(done, SystemToUtf8(S("退出代码：")) + "0\r\n"));
    EXPECT_FALSE(Contains(done, SystemToUtf8(S("原因："))));
    // A full disk leaves no unfinished file of the failed row behind.
    EXPECT_TRUE(std::count(files.removals.begin(), files.removals.end(), "E:\\PSP\\M4V30000.MP4.part"));
    EXPECT_FALSE(std::count(files.removals.begin(), files.removals.end(), "E:\\PSP\\M4V30001.MP4.part"));
}

TEST_F(RunLogs, OnlyTheNewestLogsStayAndAgeGoesByTheStartTimeNotTheTargetsName) {
    // 202 logs, one a minute on the 8th; later ones have names earlier in
    // the alphabet, so name order would remove the wrong ones.
    std::vector<std::string> byAge;
    for (int i = 0; i < 202; ++i) {
        const std::string name = RunLogFileName("E:\\PSP\\M4V" + std::to_string(39999 - i) + ".MP4",
                                                At(8, 10 + i / 60, i % 60, 0));
        logFiles.files[std::string(kFolder) + "\\" + name] = "old";
        byAge.push_back(std::string(kFolder) + "\\" + name);
    }
    logFiles.files[std::string(kFolder) + "\\notes.log"] = "the user's own";
    logFiles.files[std::string(kFolder) + "\\x-2026120-0000000.log"] = "not a stamp";

    const std::string path = book.Begin("E:\\PSP\\M4V00001.MP4", "trancor -i a -y b");
    EXPECT_EQ(path, std::string(kFolder) + "\\M4V00001.MP4-20261209-025419.log");
    EXPECT_EQ(logFiles.folders.count(kFolder), 1u);
    // 203 run logs: the three oldest go, the new one counts among the 200.
    std::vector<std::string> removed = logFiles.removed;
    std::sort(removed.begin(), removed.end());
    std::vector<std::string> oldest(byAge.begin(), byAge.begin() + 3);
    std::sort(oldest.begin(), oldest.end());
    EXPECT_EQ(removed, oldest);
    EXPECT_EQ(logFiles.files.count(path), 1u);
    EXPECT_EQ(logFiles.files.count(std::string(kFolder) + "\\notes.log"), 1u);
    EXPECT_EQ(LogsBeyondLimit({"a.log", "M4V1.MP4-20261209-025419.log"}, 0),
              (std::vector<std::string>{"M4V1.MP4-20261209-025419.log"}));
    EXPECT_EQ(RunLogFolderBeside("D:\\Vidquill\\Config.ini"), "D:\\Vidquill\\logs");
}
