// Adding today's videos: the open dialog's file types, drops of files and
// folders, and names that code page 936 cannot write.
#include <windows.h>

#include "codepage.h"
#include "scenario.h"

using e2e::JoinPath;
using Texts = std::vector<std::string>;

namespace {

class AddingFiles : public ProgramScenario {
protected:
    void SetUp() override {
        ProgramScenario::SetUp();
        out_ = InFolder("out");
        e2e::MakeEmptyFolder(out_);
        WriteConfig("[Settings]\r\nPspNumber=100\r\nOutput=" + out_ + "\r\n");
    }
    std::string Target(int number) const { return JoinPath(out_, "M4V" + std::to_string(number) + ".MP4"); }

    // An empty file, made through the wide-character functions so that any
    // name can be made.
    static void MakeFile(const std::string& path) {
        HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
        CloseHandle(file);
    }
    static std::string ShortPathOf(const std::string& path) {
        wchar_t shortPath[MAX_PATH] = {};
        DWORD n = GetShortPathNameW(Utf8ToWide(path).c_str(), shortPath, MAX_PATH);
        return n && n < MAX_PATH ? e2e::WideToUtf8(shortPath) : std::string();
    }

    std::string out_;
};

TEST_F(AddingFiles, TheOpenDialogOffersTheDesignedSevenTypesFirstThenTodaysContainers) {
    StartProgram();
    e2e::Click(Button(IDC_ADD_FILES));
    int selected = -1;
    Texts types = e2e::OpenDialogFileTypes(Pid(), &selected);
    EXPECT_EQ(types, (Texts{"所有支持的视频格式", "AVI", "MPEG", "MPG", "ASF", "MOV", "WMV", "MP4", "MKV",
                            "WebM", "FLV", "3GP", "TS", "VOB", "所有文件"}));
    EXPECT_EQ(selected, 0);
    Screenshot("types");
    ASSERT_TRUE(e2e::CancelOpenDialog(Pid()));

    // The first entry shows today's containers: an MKV and an M2TS are
    // there to be chosen by name like any other file.
    std::string videos = InFolder("videos");
    MakeFiles(videos, {"a.mkv", "b.M2TS"});
    AddFiles(videos, {"a.mkv", "b.M2TS"});
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 2; }));
    EXPECT_EQ(Column(0), (Texts{JoinPath(videos, "a.mkv"), JoinPath(videos, "b.M2TS")}));
}

TEST_F(AddingFiles, ADroppedFolderAddsItsVideosFilesFirstThenSubFoldersInNameOrder) {
    std::string drop = InFolder("拍摄");
    e2e::MakeEmptyFolder(drop);
    for (const char* name : {"z.mp4", "A.WebM", "说明.txt", "c.ts", "封面.jpg"}) MakeFile(JoinPath(drop, name));
    e2e::MakeEmptyFolder(JoinPath(drop, "sub2"));
    MakeFile(JoinPath(drop, "sub2\\w.3gp"));
    e2e::MakeEmptyFolder(JoinPath(drop, "Sub1"));
    MakeFile(JoinPath(drop, "Sub1\\x.VOB"));
    e2e::MakeEmptyFolder(JoinPath(drop, "Sub1\\深处"));
    MakeFile(JoinPath(drop, "Sub1\\深处\\y.flv"));
    std::string loose = InFolder("loose");
    e2e::MakeEmptyFolder(loose);
    MakeFile(JoinPath(loose, "b.MKV"));
    MakeFile(JoinPath(loose, "notes.txt"));

    StartProgram();
    Texts dropped{JoinPath(loose, "b.MKV"), JoinPath(loose, "notes.txt"), drop};
    ASSERT_TRUE(e2e::DropFiles(Form(), dropped, [&] { return e2e::ListRowCount(List()) == 7; }))
        << e2e::ListRowCount(List()) << " rows";
    EXPECT_EQ(Column(0), (Texts{JoinPath(loose, "b.MKV"), JoinPath(drop, "A.WebM"), JoinPath(drop, "c.ts"),
                                JoinPath(drop, "z.mp4"), JoinPath(drop, "Sub1\\x.VOB"),
                                JoinPath(drop, "Sub1\\深处\\y.flv"), JoinPath(drop, "sub2\\w.3gp")}));
    EXPECT_EQ(Column(1), (Texts{Target(100), Target(101), Target(102), Target(103), Target(104),
                                Target(105), Target(106)}));
    EXPECT_TRUE(e2e::WaitForMessageBox(Pid(), 300).window == nullptr) << "skipped files were reported";
    Screenshot("folder-drop");
}

TEST_F(AddingFiles, ANameOutsideTheCodePageIsAddedUnderItsShortNameOrReported) {
    std::string videos = InFolder("videos");
    e2e::MakeEmptyFolder(videos);
    const std::string korean = JoinPath(videos, "한국 여행.mp4");
    const std::string emoji = JoinPath(videos, "生日🎂.mkv");
    MakeFile(korean);
    MakeFile(emoji);
    std::string koreanShort = ShortPathOf(korean);
    ASSERT_FALSE(koreanShort.empty()) << "the system gave no short name";

    StartProgram();
    // Dropped and chosen in the dialog: each time the short name, which
    // the program can open by its code page name.
    ASSERT_TRUE(e2e::DropFiles(Form(), {korean}, [&] { return e2e::ListRowCount(List()) == 1; }));
    AddFiles(videos, {"生日🎂.mkv"});
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 2; }));
    Texts sources = Column(0);
    EXPECT_EQ(sources.at(0), koreanShort);
    EXPECT_EQ(sources.at(1), ShortPathOf(emoji));
    for (const std::string& source : sources) {
        EXPECT_EQ(source.find('?'), std::string::npos) << source;
        EXPECT_NE(GetFileAttributesA(e2e::ToSystem(source).c_str()), INVALID_FILE_ATTRIBUTES) << source;
    }

    // A name the file system has no short name for (Wine makes one for
    // every file it has, so here a file that is not there): one message
    // names it and says why, and no row comes.
    const std::string missing = "Q:\\不存在\\한국.mp4";
    ASSERT_TRUE(e2e::DropFiles(Form(), {missing, JoinPath(videos, "说明.txt")}, [&] {
        return e2e::WaitForMessageBox(Pid(), 0).window != nullptr;
    }));
    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(Pid());
    ASSERT_NE(box.window, nullptr) << "no message about the file not added";
    EXPECT_EQ(box.caption, "注意");
    EXPECT_TRUE(box.hasExclamationIcon);
    EXPECT_NE(box.text.find("代码页"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("Q:\\不存在\\"), std::string::npos) << box.text;
    Screenshot("not-added");
    ASSERT_TRUE(e2e::PressOk(box));
    EXPECT_EQ(e2e::ListRowCount(List()), 2);
}

TEST_F(AddingFiles, LongPathsShowTheirFileNamesAndTheirTipsGiveTheWholePaths) {
    // No path in this folder fits the 225-pixel source column.
    std::string outer = InFolder("holiday videos from the summer");
    std::string drop = JoinPath(outer, "the second week by the sea");
    e2e::MakeEmptyFolder(outer);
    e2e::MakeEmptyFolder(drop);
    for (const char* name : {"clip1.avi", "clip2.avi", "clip3.avi"}) MakeFile(JoinPath(drop, name));
    StartProgram();
    ASSERT_TRUE(e2e::DropFiles(Form(), {drop}, [&] { return e2e::ListRowCount(List()) == 3; }));
    // The rows keep their whole texts.
    EXPECT_EQ(Column(0), (Texts{JoinPath(drop, "clip1.avi"), JoinPath(drop, "clip2.avi"),
                                JoinPath(drop, "clip3.avi")}));

    // Rows 2 and 3 (neither selected) differ only at the paths' ends: their
    // source cells look alike unless the file names are drawn. Their status
    // cells, alike in text, must look alike.
    auto cell = [&](int row, int left, int right) {
        RECT bounds = e2e::ListRowRect(List(), row);
        POINT corners[2] = {{bounds.left + left, bounds.top}, {bounds.left + right, bounds.bottom}};
        MapWindowPoints(List(), nullptr, corners, 2);
        return e2e::ScreenPixels(RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y});
    };
    EXPECT_FALSE(cell(1, 0, 225).empty());
    EXPECT_NE(cell(1, 0, 225), cell(2, 0, 225)) << "the file names are not drawn";
    EXPECT_EQ(cell(1, 450, 530), cell(2, 450, 530));
    Screenshot("long-names");

    // The pointer rests on the second row: its tip gives both whole paths.
    RECT row = e2e::ListRowRect(List(), 1);
    POINT status{row.left + 490, (row.top + row.bottom) / 2};
    ClientToScreen(List(), &status);
    ASSERT_TRUE(e2e::MovePointer(Form(), status));
    const std::string expected = JoinPath(drop, "clip2.avi") + "\r\n" + Target(101);
    std::string tipText;
    EXPECT_TRUE(e2e::WaitUntil([&] {
        for (HWND tip : e2e::TopWindows(Pid(), "tooltips_class32")) {
            tipText = e2e::WindowText(tip);
            if (tipText == expected) return true;
        }
        return false;
    })) << "tip: " << tipText;
    Screenshot("long-names-tip");
}

}  // namespace
