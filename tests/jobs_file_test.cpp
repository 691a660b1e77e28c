#include <gtest/gtest.h>

#include <map>
#include <set>

#include "codepage.h"
#include "jobs_file.h"
#include "test_folder.h"

namespace {

using Rows = std::vector<ConversionJob>;

// Files in memory; `dieAtMove` makes the next rename never happen, as when
// the program is killed between writing the list and renaming it.
class MemoryFiles final : public SavedFiles {
public:
    ReadResult ReadAll(const std::string& path, std::string& bytes) override {
        if (unreadable.count(path)) return ReadResult::Failed;
        auto it = files.find(path);
        if (it == files.end()) return ReadResult::Missing;
        bytes = it->second;
        return ReadResult::Read;
    }
    bool WriteFlushed(const std::string& path, const std::string& bytes) override {
        files[path] = bytes;
        return true;
    }
    bool MoveReplacing(const std::string& from, const std::string& to) override {
        if (dieAtMove || !files.count(from)) return false;
        files[to] = files[from];
        files.erase(from);
        unreadable.erase(from);
        return true;
    }
    bool Remove(const std::string& path) override { return files.erase(path) > 0; }

    std::map<std::string, std::string> files;
    std::set<std::string> unreadable;
    bool dieAtMove = false;
};

// The staged files a killed encoder leaves beside its target.
class TargetFolder final : public SystemFiles {
public:
    std::string SystemFolder() override { return ""; }
    bool RenameNoReplace(const std::string&, const std::string&) override { return false; }
    bool FileExists(const std::string& path) override { return present.count(path) > 0; }
    bool RemoveFile(const std::string& path) override { return present.erase(path) > 0; }
    std::set<std::string> present;
};

JobList ListOf(const Rows& rows) {
    JobList list;
    for (const ConversionJob& row : rows) {
        list.AddNamedJob(row.Source, row.Target);
        list.SetStatus(list.Count() - 1, row.Status);
    }
    return list;
}

std::vector<std::string> Texts(const Rows& rows) {
    std::vector<std::string> out;
    for (const ConversionJob& r : rows) out.push_back(r.Source + "|" + r.Target + "|" + r.Status);
    return out;
}

// A list of every status and a Chinese name (whose "誠" holds a backslash
// byte), through the system's own files and back, then restored.
TEST(JobsFile, KeepsTheListAndGivesBackWhatWasNotDone) {
    TestFolder folder;
    auto files = MakeSystemSavedFiles();
    EXPECT_EQ(JobsFileBeside(SysText("C:\\誠\\Config.ini")), SysText("C:\\誠\\Vidquill.jobs"));
    JobsFile saved(*files, folder.Path("Vidquill.jobs"));
    const Rows rows = {{SysText("D:\\视频\\誠.avi"), "E:\\PSP\\M4V30000.MP4", StatusDone(), ""},
                       {"D:\\b.avi", "E:\\PSP\\M4V30004.MP4", StatusProcessing(), ""},
                       {"D:\\c.avi", "E:\\MP_ROOT\\100ANV01\\MAQ30002.MP4", "", ""},
                       {"D:\\d.avi", "E:\\PSP\\M4V30001.MP4", StatusFailed(), ""},
                       {"D:\\e.avi", "E:\\PSP\\M4V30003.MP4", StatusAbandoned(), ""}};
    ASSERT_TRUE(saved.Save(ListOf(rows)));
    std::string text;
    EXPECT_EQ(folder.ReadFile("Vidquill.jobs"),
              "Vidquill jobs 1\r\nD:\\视频\\誠.avi\tE:\\PSP\\M4V30000.MP4\t完成\r\n"
              "D:\\b.avi\tE:\\PSP\\M4V30004.MP4\t正在处理\r\nD:\\c.avi\tE:\\MP_ROOT\\100ANV01\\MAQ30002.MP4\t\r\n"
              "D:\\d.avi\tE:\\PSP\\M4V30001.MP4\t失败\r\nD:\\e.avi\tE:\\PSP\\M4V30003.MP4\t放弃\r\nend\r\n");
    EXPECT_EQ(files->ReadAll(folder.Path("Vidquill.jobs.tmp"), text), SavedFiles::ReadResult::Missing)
        << "renamed, not copied";

    const JobsFile::Leftover left = saved.TakeLeftover();
    EXPECT_EQ(Texts(left.rows), Texts(Rows(rows.begin() + 1, rows.end())));
    EXPECT_EQ(left.setAside, "");

    TargetFolder psp;
    psp.present = {"E:\\PSP\\M4V30004.MP4.part", "E:\\PSP\\M4V30004.THM.part", "E:\\PSP\\M4V30000.MP4"};
    JobList jobs;
    jobs.NextNumber = 30000;
    RestoreJobs(left.rows, jobs, psp);
    ASSERT_EQ(jobs.Count(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(jobs.Row(i).Target, left.rows[static_cast<size_t>(i)].Target);
        EXPECT_EQ(jobs.Row(i).Status, "");
    }
    EXPECT_EQ(jobs.NextNumber, 30005) << "after the highest number, not the last row's";
    EXPECT_EQ(psp.present, (std::set<std::string>{"E:\\PSP\\M4V30000.MP4"})) << "only staged files go";
    jobs.AddJob("D:\\f.avi", "E:\\PSP");
    EXPECT_EQ(jobs.Row(4).Target, "E:\\PSP\\M4V30005.MP4");

    // A list that was done, or a normal close: nothing to come back.
    saved.Save(ListOf({rows[0]}));
    EXPECT_TRUE(saved.TakeLeftover().rows.empty());
    EXPECT_EQ(files->ReadAll(saved.Path(), text), SavedFiles::ReadResult::Missing);
    saved.Save(ListOf(rows));
    saved.Delete();
    EXPECT_TRUE(saved.TakeLeftover().rows.empty());
}

TEST(JobsFile, ADamagedFileIsSetAsideOnceAndNeverStopsTheStart) {
    const std::string good = "Vidquill jobs 1\r\nD:\\a.avi\tE:\\M4V1.MP4\t\r\nend\r\n";
    Rows parsed;
    EXPECT_TRUE(ParseJobs(good, parsed));
    EXPECT_TRUE(ParseJobs("\xEF\xBB\xBF" + good, parsed)) << "saved again by a text editor";
    EXPECT_TRUE(ParseJobs("Vidquill jobs 1\r\nend\r\n", parsed));
    EXPECT_TRUE(parsed.empty());
    for (const std::string& damaged :
         {std::string(), std::string("Vidquill jobs 2\r\nend\r\n"), good.substr(0, good.size() - 1),
          good.substr(0, good.size() - 5), std::string(good).replace(good.find('\n'), 1, ""),
          std::string("Vidquill jobs 1\r\nD:\\a.avi\tE:\\M4V1.MP4\r\nend\r\n"),
          std::string("Vidquill jobs 1\r\nD:\\a.avi\tE:\\M4V1.MP4\t\t\r\nend\r\n"),
          std::string("Vidquill jobs 1\r\n\tE:\\M4V1.MP4\t\r\nend\r\n"),
          std::string("Vidquill jobs 1\r\nD:\\a.avi\tE:\\M4V1.MP4\tdone\r\nend\r\n"),
          std::string("Vidquill jobs 1\r\nD:\\\xFF.avi\tE:\\M4V1.MP4\t\r\nend\r\n"),
          std::string("Vidquill jobs 1\r\nD:\\\xED\x95\x9C.avi\tE:\\M4V1.MP4\t\r\nend\r\n"),
          std::string(4096, '\0')}) {
        SCOPED_TRACE(testing::PrintToString(damaged));
        parsed = {{"kept", "kept", "", ""}};
        EXPECT_FALSE(ParseJobs(damaged, parsed));
        EXPECT_EQ(parsed.size(), 1u);

        MemoryFiles files;
        files.files["C:\\V\\Vidquill.jobs"] = damaged;
        files.files["C:\\V\\Vidquill.jobs.bad"] = "older";
        JobsFile jobs(files, "C:\\V\\Vidquill.jobs");
        const JobsFile::Leftover left = jobs.TakeLeftover();
        EXPECT_TRUE(left.rows.empty());
        EXPECT_EQ(left.setAside, "C:\\V\\Vidquill.jobs.bad");
        EXPECT_EQ(files.files, (std::map<std::string, std::string>{{"C:\\V\\Vidquill.jobs.bad", damaged}}));
        EXPECT_EQ(jobs.TakeLeftover().setAside, "") << "reported once";
    }

    // There but unreadable (locked, no access): set aside the same way.
    MemoryFiles files;
    files.files["J"] = good;
    files.unreadable = {"J"};
    EXPECT_EQ(JobsFile(files, "J").TakeLeftover().setAside, "J.bad");
    EXPECT_EQ(files.files.count("J"), 0u);
}

// The program is killed after writing the new list and before renaming it:
// the next start finds the list saved before, and the half-done file goes.
TEST(JobsFile, AKillBetweenWritingAndRenamingLeavesTheListBefore) {
    MemoryFiles files;
    JobsFile jobs(files, "C:\\V\\Vidquill.jobs");
    const Rows before = {{"D:\\a.avi", "E:\\M4V1.MP4", "", ""}};
    ASSERT_TRUE(jobs.Save(ListOf(before)));
    files.dieAtMove = true;
    EXPECT_FALSE(jobs.Save(ListOf({before[0], {"D:\\b.avi", "E:\\M4V2.MP4", "", ""}})));
    files.files["C:\\V\\Vidquill.jobs.tmp"].resize(20);  // and cut short on its way to the disk

    files.dieAtMove = false;
    const JobsFile::Leftover left = JobsFile(files, "C:\\V\\Vidquill.jobs").TakeLeftover();
    EXPECT_EQ(Texts(left.rows), Texts(before));
    EXPECT_EQ(left.setAside, "");
    EXPECT_EQ(files.files.count("C:\\V\\Vidquill.jobs.tmp"), 0u);
}

}  // namespace
