#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "codepage.h"
#include "job_list.h"
#include "psp_folders.h"

namespace {

std::vector<std::string> Targets(const JobList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list.Row(i).Target);
    return out;
}

TEST(MakeTargetPath, JoinsFolderAndNumber) {
    EXPECT_EQ(MakeTargetPath("E:\\MP_ROOT\\100MNV01", 30000), "E:\\MP_ROOT\\100MNV01\\M4V30000.MP4");
    EXPECT_EQ(MakeTargetPath("E:\\", 30000), "E:\\M4V30000.MP4");
    EXPECT_EQ(MakeTargetPath("", 30000), "M4V30000.MP4");
    EXPECT_EQ(MakeTargetPath("0", 0), "0\\M4V0.MP4");
    EXPECT_EQ(MakeTargetPath("E:\\PSP", 7), "E:\\PSP\\M4V7.MP4");
    EXPECT_EQ(MakeTargetPath("E:\\PSP", -3), "E:\\PSP\\M4V-3.MP4");
}

// "誠" is 0xD5 0x5C in code page 936: its second byte is a backslash byte.
TEST(MakeTargetPath, ReadsTwoByteCharactersWhole) {
    const std::string folder = SysText("E:\\誠");
    EXPECT_EQ(MakeTargetPath(folder, 1), folder + "\\M4V1.MP4");
    EXPECT_EQ(MakeTargetPath(folder + "\\", 1), folder + "\\M4V1.MP4");
    EXPECT_EQ(FileNameOf(SysText("D:\\v\\誠.avi")), SysText("誠.avi"));
    EXPECT_EQ(FileNameOf(SysText("誠.avi")), "");
}

// H.264 targets: "MAQ" names, and a PSP's MPEG-4 folder traded for its
// H.264 sibling; the numbering rules are the same.
TEST(MakeTargetPath, H264TargetsGoToThePspsH264Folder) {
    EXPECT_EQ(MakeTargetPath("E:\\PSP", 7, kVideoH264), "E:\\PSP\\MAQ7.MP4");
    EXPECT_EQ(MakeTargetPath("E:\\PSP", 7, 2), "E:\\PSP\\M4V7.MP4");
    EXPECT_EQ(TargetFolderFor("E:\\MP_ROOT\\100MNV01", kVideoH264), "E:\\MP_ROOT\\100ANV01");
    EXPECT_EQ(TargetFolderFor("e:\\Mp_Root\\100mnv01\\", kVideoH264), "e:\\Mp_Root\\100ANV01");
    EXPECT_EQ(TargetFolderFor("E:\\MP_ROOT\\100MNV01", kVideoMpeg4), "E:\\MP_ROOT\\100MNV01");
    for (const std::string other : {"E:\\X\\100MNV01", "E:\\MYMP_ROOT\\100MNV01", "E:\\MP_ROOT\\100MNV012",
                                    "MP_ROOT\\100MNV01", "E:\\MP_ROOT\\100ANV01", "0", ""}) {
        EXPECT_EQ(TargetFolderFor(other, kVideoH264), other);
    }
    // The backslash byte of "誠" does not start "\MP_ROOT".
    const std::string trail = SysText("E:\\誠MP_ROOT\\100MNV01");
    EXPECT_EQ(TargetFolderFor(trail, kVideoH264), trail);
    EXPECT_EQ(TargetFolderFor(SysText("E:\\视频\\MP_ROOT\\100MNV01"), kVideoH264),
              SysText("E:\\视频\\MP_ROOT\\100ANV01"));

    JobList list;
    list.NextNumber = 30000;
    list.AddJob("a", "E:\\MP_ROOT\\100MNV01", kVideoH264);
    list.AddJob("b", "E:\\PSP", kVideoH264);
    list.AddJob("c", "E:\\MP_ROOT\\100MNV01");
    list.AddJob("d", "e:\\mp_root\\100mnv01\\", kVideoH264);
    EXPECT_EQ(Targets(list), (std::vector<std::string>{"E:\\MP_ROOT\\100ANV01\\MAQ30000.MP4", "E:\\PSP\\MAQ30001.MP4",
                                                       "E:\\MP_ROOT\\100MNV01\\M4V30002.MP4",
                                                       "e:\\mp_root\\100ANV01\\MAQ30003.MP4"}));
    // Start creates these when missing.
    EXPECT_EQ(PspH264FoldersOf(list), (std::vector<std::string>{"E:\\MP_ROOT\\100ANV01", "e:\\mp_root\\100ANV01"}));
    list.AddJob("e", "E:\\MP_ROOT\\100MNV01", kVideoH264);
    EXPECT_EQ(PspH264FoldersOf(list).size(), 2u);
    list.RenumberAll(5, "F:\\MP_ROOT\\100MNV01", kVideoH264);
    EXPECT_EQ(Targets(list), (std::vector<std::string>{"F:\\MP_ROOT\\100ANV01\\MAQ5.MP4", "F:\\MP_ROOT\\100ANV01\\MAQ6.MP4",
                                                       "F:\\MP_ROOT\\100ANV01\\MAQ7.MP4", "F:\\MP_ROOT\\100ANV01\\MAQ8.MP4",
                                                       "F:\\MP_ROOT\\100ANV01\\MAQ9.MP4"}));
    EXPECT_EQ(list.NextNumber, 10);
    list.RenumberAll(5, "F:\\MP_ROOT\\100MNV01", kVideoMpeg4);
    EXPECT_EQ(list.Row(4).Target, "F:\\MP_ROOT\\100MNV01\\M4V9.MP4");
    EXPECT_TRUE(PspH264FoldersOf(list).empty());
}

TEST(FileNameOf, TakesTheTextAfterTheLastBackslash) {
    EXPECT_EQ(FileNameOf("D:\\v\\a.avi"), "a.avi");
    EXPECT_EQ(FileNameOf("a.avi"), "");
    EXPECT_EQ(FileNameOf(""), "");
    EXPECT_EQ(FileNameOf("D:\\v\\"), "");
    EXPECT_EQ(FileNameOf("E:\\M4V30000.MP4"), "M4V30000.MP4");
}

TEST(JobList, AddingNamesTargetsInOrderAndRemovalLeavesGaps) {
    JobList list;
    list.NextNumber = 30000;
    for (const char* f : {"D:\\a.avi", "D:\\b.avi", "D:\\c.avi"}) list.AddJob(f, "E:\\PSP");
    EXPECT_EQ(Targets(list), (std::vector<std::string>{"E:\\PSP\\M4V30000.MP4", "E:\\PSP\\M4V30001.MP4",
                                                       "E:\\PSP\\M4V30002.MP4"}));
    list.Select(1);
    list.RemoveSelected();
    list.AddJob("D:\\d.avi", "E:\\PSP");
    EXPECT_EQ(Targets(list), (std::vector<std::string>{"E:\\PSP\\M4V30000.MP4", "E:\\PSP\\M4V30002.MP4",
                                                       "E:\\PSP\\M4V30003.MP4"}));
    EXPECT_EQ(list.Row(1).Source, "D:\\c.avi");
    EXPECT_EQ(list.Row(2).Status, "");
    EXPECT_EQ(list.NextNumber, 30004);
}

TEST(JobList, TargetsAreFixedUntilRenumbered) {
    JobList list;
    list.NextNumber = 0;
    list.AddJob("a", "0");  // a first start without a settings file
    list.AddJob("b", "E:\\PSP");
    EXPECT_EQ(Targets(list), (std::vector<std::string>{"0\\M4V0.MP4", "E:\\PSP\\M4V1.MP4"}));
    list.RenumberAll(30010, "F:\\");
    EXPECT_EQ(Targets(list), (std::vector<std::string>{"F:\\M4V30010.MP4", "F:\\M4V30011.MP4"}));
    EXPECT_EQ(list.NextNumber, 30012);

    JobList empty;
    empty.RenumberAll(7, "E:\\PSP");
    EXPECT_EQ(empty.Count(), 0);
    EXPECT_EQ(empty.NextNumber, 7);
    empty.AddJob("x", "E:\\PSP");
    EXPECT_EQ(empty.Row(0).Target, "E:\\PSP\\M4V7.MP4");
}

// A target folder that already holds files; every look at it is counted.
class FolderWithFiles final : public SystemFiles {
public:
    explicit FolderWithFiles(std::set<std::string> present) : present_(std::move(present)) {}
    std::string SystemFolder() override { return "C:\\sys"; }
    bool RenameNoReplace(const std::string&, const std::string&) override { return false; }
    bool FileExists(const std::string& path) override {
        looked.push_back(path);
        return present_.count(path) > 0;
    }
    bool RemoveFile(const std::string& path) override { return present_.erase(path) > 0; }
    void Add(const std::string& path) { present_.insert(path); }

    std::vector<std::string> looked;

private:
    std::set<std::string> present_;
};

// Yesterday's three videos are on the stick and 30004 came from elsewhere: a
// new list steps over them, one look per number, and never over a name it
// has given itself.
TEST(JobList, NewTargetsStepOverFilesAlreadyThereAndOtherRowsTargets) {
    FolderWithFiles psp({"E:\\PSP\\M4V30000.MP4", "E:\\PSP\\M4V30001.MP4", "E:\\PSP\\M4V30002.MP4",
                         "E:\\PSP\\M4V30004.MP4", "E:\\MP_ROOT\\100ANV01\\MAQ30007.MP4"});
    JobList list;
    list.SetFiles(&psp);
    list.NextNumber = 30000;
    list.AddJob("a", "E:\\PSP");
    list.AddJob("b", "E:\\PSP");
    EXPECT_EQ(Targets(list), (std::vector<std::string>{"E:\\PSP\\M4V30003.MP4", "E:\\PSP\\M4V30005.MP4"}));
    EXPECT_EQ(psp.looked, (std::vector<std::string>{"E:\\PSP\\M4V30000.MP4", "E:\\PSP\\M4V30001.MP4",
                                                    "E:\\PSP\\M4V30002.MP4", "E:\\PSP\\M4V30003.MP4",
                                                    "E:\\PSP\\M4V30004.MP4", "E:\\PSP\\M4V30005.MP4"}));
    EXPECT_EQ(list.NextNumber, 30006);

    // Both rows are converted; confirming the settings keeps their names,
    // looking only at the names that are not theirs.
    psp.Add("E:\\PSP\\M4V30003.MP4");
    psp.Add("E:\\PSP\\M4V30005.MP4");
    psp.looked.clear();
    list.RenumberAll(30000, "E:\\PSP");
    EXPECT_EQ(Targets(list), (std::vector<std::string>{"E:\\PSP\\M4V30003.MP4", "E:\\PSP\\M4V30005.MP4"}));
    EXPECT_EQ(psp.looked.size(), 4u) << "30000, 30001, 30002 and 30004";

    // "默认" may send the counter back; other rows' names are skipped
    // without a look, whatever their case.
    list.AddJob("c", "e:\\psp");
    EXPECT_EQ(list.Row(2).Target, "e:\\psp\\M4V30006.MP4");
    list.NextNumber = 30003;
    psp.looked.clear();
    list.AddJob("d", "E:\\PSP");
    EXPECT_EQ(list.Row(3).Target, "E:\\PSP\\M4V30007.MP4");
    EXPECT_EQ(psp.looked, (std::vector<std::string>{"E:\\PSP\\M4V30004.MP4", "E:\\PSP\\M4V30007.MP4"}));

    // A removed row's name is free again (its file never came).
    list.Select(3);
    list.RemoveSelected();
    list.NextNumber = 30007;
    list.AddJob("e", "E:\\PSP");
    EXPECT_EQ(list.Row(3).Target, "E:\\PSP\\M4V30007.MP4");

    // Renumbering into another folder moves every row past what is there;
    // H.264 names follow the same rule in the PSP's H.264 folder.
    list.RenumberAll(30006, "E:\\MP_ROOT\\100MNV01", kVideoH264);
    EXPECT_EQ(Targets(list), (std::vector<std::string>{
                                 "E:\\MP_ROOT\\100ANV01\\MAQ30006.MP4", "E:\\MP_ROOT\\100ANV01\\MAQ30008.MP4",
                                 "E:\\MP_ROOT\\100ANV01\\MAQ30009.MP4", "E:\\MP_ROOT\\100ANV01\\MAQ30010.MP4"}));

    // Restored rows keep their targets, which new rows then avoid.
    JobList restored;
    restored.SetFiles(&psp);
    restored.NextNumber = 30000;
    restored.AddNamedJob("x", "E:\\PSP\\M4V30003.MP4");
    EXPECT_EQ(restored.Row(0).Target, "E:\\PSP\\M4V30003.MP4");
    psp.RemoveFile("E:\\PSP\\M4V30003.MP4");
    restored.NextNumber = 30003;
    restored.AddJob("y", "E:\\PSP");
    EXPECT_EQ(restored.Row(1).Target, "E:\\PSP\\M4V30006.MP4");
}

TEST(JobList, TheCounterWrapsAtTheTopOfTheRange) {
    // 2147483647 is a PspNumber a user may type; adding and renumbering both
    // go on from -2147483648. Signed overflow would not compile here.
    static_assert(NumberAfter(INT32_MAX) == INT32_MIN);
    static_assert(NumberAfter(-1) == 0);
    JobList list;
    list.NextNumber = 2147483647;
    list.AddJob("a", "E:\\PSP");
    list.AddJob("b", "E:\\PSP");
    EXPECT_EQ(Targets(list), (std::vector<std::string>{"E:\\PSP\\M4V2147483647.MP4",
                                                       "E:\\PSP\\M4V-2147483648.MP4"}));
    EXPECT_EQ(list.NextNumber, -2147483647);
    list.RenumberAll(2147483646, "E:\\PSP");
    EXPECT_EQ(Targets(list), (std::vector<std::string>{"E:\\PSP\\M4V2147483646.MP4",
                                                       "E:\\PSP\\M4V2147483647.MP4"}));
    EXPECT_EQ(list.NextNumber, INT32_MIN);
}

TEST(JobList, RemoveWithoutSelectionAndOutOfRangeWritesDoNothing) {
    JobList list;
    list.RemoveSelected();  // empty list
    list.AddJob("a", "");
    list.AddJob("b", "");
    list.RemoveSelected();  // nothing selected
    EXPECT_EQ(list.Count(), 2);
    list.Select(5);
    EXPECT_EQ(list.Selected(), -1);
    list.RemoveSelected();
    EXPECT_EQ(list.Count(), 2);

    EXPECT_FALSE(list.SetStatus(2, StatusDone()));
    EXPECT_FALSE(list.SetStatus(-1, StatusDone()));
    EXPECT_TRUE(list.SetStatus(1, StatusAbandoned()));
    EXPECT_EQ(list.Row(1).Status, SysText("放弃"));
    EXPECT_FALSE(list.SetReason(2, "why"));
    EXPECT_TRUE(list.SetReason(1, "why"));

    list.Select(0);
    list.RemoveSelected();
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Selected(), -1);
    EXPECT_EQ(list.Row(0).Source, "b");
    EXPECT_EQ(list.Row(0).Reason, "why");
    list.ClearStatuses();
    EXPECT_EQ(list.Row(0).Status, "");
    EXPECT_EQ(list.Row(0).Reason, "") << "a new batch forgets the last one's reasons";
    EXPECT_EQ(list.NextNumber, 30002);  // removal never gives numbers back
}

// A view mirrors the list through these events.
struct RecordingListener : JobListListener {
    std::vector<std::string> events;
    void RowInserted(int p) override { events.push_back("insert " + std::to_string(p)); }
    void RowRemoved(int p) override { events.push_back("remove " + std::to_string(p)); }
    void RowChanged(int p) override { events.push_back("change " + std::to_string(p)); }
    void SelectionChanged(int p) override { events.push_back("select " + std::to_string(p)); }
};

TEST(JobList, TellsItsListenerOfEveryChange) {
    JobList list;
    RecordingListener view;
    list.SetListener(&view);
    list.AddJob("a", "");
    list.AddJob("b", "");
    list.Select(1);
    list.SetStatus(0, StatusProcessing());
    list.SetStatus(9, StatusDone());
    list.RenumberAll(1, "");
    list.RemoveSelected();
    EXPECT_EQ(view.events, (std::vector<std::string>{"insert 0", "insert 1", "select 1", "change 0",
                                                     "change 0", "change 1", "remove 1"}));
}

}  // namespace
