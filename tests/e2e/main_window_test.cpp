// The main window driven from outside: adding and removing rows, the empty
// Start, moving, the help menu, minimising, closing and the settings file.
#include <windows.h>

#include <functional>

#include "scenario.h"

using e2e::JoinPath;
using Texts = std::vector<std::string>;

namespace {

using MainWindow = ProgramScenario;

POINT Centre(const RECT& r) { return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

TEST_F(MainWindow, AConfigWithoutValuesNamesTargetsInFolder0AndAddsInDialogOrder) {
    std::string videos = InFolder("videos");
    MakeFiles(videos, {"a.avi", "b.avi", "c.avi"});
    WriteConfig("[Settings]\r\n");  // every key missing reads "0" (no Config.ini at all: first start)
    StartProgram();

    AddFiles(videos, {"b.avi", "c.avi", "a.avi"});
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 3; }));
    EXPECT_EQ(Column(0), (Texts{JoinPath(videos, "b.avi"), JoinPath(videos, "c.avi"),
                                JoinPath(videos, "a.avi")}));
    EXPECT_EQ(Column(1), (Texts{"0\\M4V0.MP4", "0\\M4V1.MP4", "0\\M4V2.MP4"}));
    EXPECT_EQ(Column(2), (Texts{"", "", ""}));
    Screenshot("rows");

    // A cancelled dialog adds nothing and uses up no number.
    e2e::Click(Button(IDC_ADD_FILES));
    ASSERT_TRUE(e2e::CancelOpenDialog(Pid()));
    EXPECT_EQ(e2e::ListRowCount(List()), 3);
    AddFiles(videos, {"a.avi"});
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 4; }));
    EXPECT_EQ(Rows().back().at(1), "0\\M4V3.MP4");
}

TEST_F(MainWindow, RemoveTakesExactlyTheSelectedRowByButtonAndByRowMenu) {
    std::string videos = InFolder("videos");
    MakeFiles(videos, {"a.avi", "b.mpg", "c.wmv", "d.mov"});
    WriteConfig("[Settings]\r\n");
    StartProgram();
    AddFiles(videos, {"a.avi", "b.mpg", "c.wmv", "d.mov"});
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 4; }));

    // Without a selection "移除" does nothing.
    ASSERT_EQ(e2e::ListSelectedRow(List()), -1);
    e2e::Click(Button(IDC_REMOVE_ROWS));
    e2e::Click(Button(IDC_REMOVE_ROWS));
    // A later click of a row is handled after those; then the list is as before.
    ClickRow(1);
    EXPECT_EQ(e2e::ListRowCount(List()), 4);

    e2e::Click(Button(IDC_REMOVE_ROWS));
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 3; }));
    EXPECT_EQ(Column(0), (Texts{JoinPath(videos, "a.avi"), JoinPath(videos, "c.wmv"),
                                JoinPath(videos, "d.mov")}));
    EXPECT_EQ(Column(1), (Texts{"0\\M4V0.MP4", "0\\M4V2.MP4", "0\\M4V3.MP4"}));

    // The row menu opens at the pointer, over the pressed row, which it selects.
    RECT row = e2e::ListRowRect(List(), 2);
    POINT at{row.left + 40, (row.top + row.bottom) / 2};
    e2e::PostRightClick(List(), at);
    HWND menu = e2e::WaitForPopupMenu(Pid());
    ASSERT_NE(menu, nullptr) << "the row menu did not open";
    POINT screen = at;
    ClientToScreen(List(), &screen);
    RECT menuRect = e2e::WindowRect(menu);
    EXPECT_EQ(menuRect.left, screen.x);
    EXPECT_EQ(menuRect.top, screen.y);
    Screenshot("row-menu");
    e2e::ChooseMenuItem(Form(), 0);  // "移除"
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 2; }));
    EXPECT_EQ(Column(1), (Texts{"0\\M4V0.MP4", "0\\M4V2.MP4"}));

    // Its second item adds files, as the toolbar button does; the numbers go on.
    RECT empty = e2e::ListRowRect(List(), 1);
    e2e::PostRightClick(List(), POINT{empty.left + 40, empty.bottom + 60});
    ASSERT_NE(e2e::WaitForPopupMenu(Pid()), nullptr) << "no row menu below the rows";
    e2e::ChooseMenuItem(Form(), 1);  // "添加"
    ASSERT_TRUE(e2e::ChooseFilesInOpenDialog(Pid(), videos, {"b.mpg"}));
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 3; }));
    EXPECT_EQ(Rows().back(), (Texts{JoinPath(videos, "b.mpg"), "0\\M4V4.MP4", ""}));
}

TEST_F(MainWindow, StartWithAnEmptyListShowsTheMessageAndNoProgressWindow) {
    StartProgram();
    e2e::Click(Button(IDC_START));
    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(Pid());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.caption, "错误");
    EXPECT_EQ(box.text, "请添加视频文件到列表");
    EXPECT_TRUE(box.hasExclamationIcon);
    EXPECT_TRUE(e2e::TopWindows(Pid(), VQ_CLASS_PROGRESS_WINDOW).empty());
    ASSERT_TRUE(e2e::PressOk(box));
    EXPECT_TRUE(e2e::TopWindows(Pid(), VQ_CLASS_PROGRESS_WINDOW).empty());
}

TEST_F(MainWindow, OnlyTheSkinDragsTheWindowAndTheHelpMenuFollowsIt) {
    StartProgram();
    RECT before = e2e::WindowRect(Form());
    auto moveTo = [&](POINT p) { return e2e::MovePointer(Form(), p); };
    auto waitFor = [&](const std::function<bool(const e2e::PointerState&)>& condition) {
        return e2e::WaitForPointerState(Form(), condition);
    };
    auto released = [](const e2e::PointerState& s) { return !s.capture && !s.inMoveSize; };

    // Pressing a flat button and moving does not move the window: the
    // button keeps the pointer.
    POINT onButton = Centre(e2e::WindowRect(Button(IDC_SETTINGS)));
    ASSERT_TRUE(moveTo(onButton));
    e2e::LeftButton(true);
    ASSERT_TRUE(waitFor([&](const e2e::PointerState& s) { return s.capture == Button(IDC_SETTINGS); }));
    ASSERT_TRUE(moveTo(POINT{onButton.x + 60, onButton.y + 40}));
    EXPECT_FALSE(e2e::PointerStateOf(Form()).inMoveSize);
    e2e::LeftButton(false);
    ASSERT_TRUE(waitFor(released));
    // Nor does pressing in the list.
    POINT inList = Centre(e2e::WindowRect(List()));
    ASSERT_TRUE(moveTo(inList));
    e2e::LeftButton(true);
    ASSERT_TRUE(moveTo(POINT{inList.x + 60, inList.y + 40}));
    EXPECT_FALSE(e2e::PointerStateOf(Form()).inMoveSize);
    e2e::LeftButton(false);
    ASSERT_TRUE(waitFor(released));
    RECT unmoved = e2e::WindowRect(Form());
    EXPECT_EQ(unmoved.left, before.left);
    EXPECT_EQ(unmoved.top, before.top);

    // The skin (the bottom strip) drags it, following the pointer while the
    // button is held.
    POINT grip{before.left + 300, before.top + 440};
    ASSERT_TRUE(moveTo(grip));
    e2e::LeftButton(true);
    ASSERT_TRUE(waitFor([](const e2e::PointerState& s) { return s.inMoveSize; }))
        << "pressing the skin did not start a move";
    for (int step = 1; step <= 10; ++step) {
        ASSERT_TRUE(moveTo(POINT{grip.x - 15 * step, grip.y - 10 * step}));
    }
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::WindowRect(Form()).left == before.left - 150; }))
        << "the window did not follow the pointer";
    e2e::LeftButton(false);
    ASSERT_TRUE(waitFor(released));
    RECT after = e2e::WindowRect(Form());
    EXPECT_EQ(after.left, before.left - 150);
    EXPECT_EQ(after.top, before.top - 100);
    EXPECT_EQ(after.right - after.left, 600);
    EXPECT_EQ(after.bottom - after.top, 450);

    // The help menu opens at (left + 323, top + 75) of the moved window.
    e2e::Click(Button(IDC_HELP_MENU));
    HWND menu = e2e::WaitForPopupMenu(Pid());
    ASSERT_NE(menu, nullptr) << "the help menu did not open";
    RECT menuRect = e2e::WindowRect(menu);
    EXPECT_EQ(menuRect.left, after.left + 323);
    EXPECT_EQ(menuRect.top, after.top + 75);
    Screenshot("help-menu");
    e2e::CloseMenu(Form());
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::TopWindows(Pid(), "#32768").empty(); }));
}

TEST_F(MainWindow, FlatButtonsShowTheirHintsWhileThePointerRests) {
    StartProgram();
    ASSERT_TRUE(e2e::MovePointer(Form(), Centre(e2e::WindowRect(Button(IDC_OUTPUT_FOLDER)))));
    HWND tip = e2e::WaitForWindow(Pid(), "tooltips_class32");
    ASSERT_NE(tip, nullptr) << "no tooltip appeared";
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::WindowText(tip) == "选择输出文件夹"; }))
        << "tooltip text: " << e2e::WindowText(tip);
    Screenshot("hover");
}

TEST_F(MainWindow, DroppedFilesAreAddedInOrderWhenTheirTypeIsSupported) {
    WriteConfig("[Settings]\r\n");
    StartProgram();
    // The shell hands over names only; the files need not exist here.
    Texts dropped{"D:\\视频\\假期.MOV", "D:\\视频\\说明.txt", "D:\\视频\\毕业典礼.asf",
                  "D:\\视频\\生日.mpeg", "D:\\视频\\noext", "D:\\视频\\旅行.wmv"};
    ASSERT_TRUE(e2e::DropFiles(Form(), dropped, [&] { return e2e::ListRowCount(List()) == 4; }));
    EXPECT_EQ(Column(0), (Texts{dropped[0], dropped[2], dropped[3], dropped[5]}));
    EXPECT_EQ(Column(1), (Texts{"0\\M4V0.MP4", "0\\M4V1.MP4", "0\\M4V2.MP4", "0\\M4V3.MP4"}));
    Screenshot("rows");
}

TEST_F(MainWindow, MinimiseButtonMinimisesTheMainWindow) {
    StartProgram();
    e2e::Click(Button(IDC_MINIMISE));
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsIconic(Form()) != FALSE; }));
}

TEST_F(MainWindow, ClosingWritesEverySettingAndTheOutputFolderEvenWhenNothingChanged) {
    WriteConfig("[Settings]\r\n");
    StartProgram();
    CloseProgram();
    for (const char* key : {"Resolution", "Framerate", "Channels", "VideoQuality", "AudioQuality",
                            "Volume", "PspNumber", "Output"}) {
        EXPECT_EQ(e2e::ReadIni(ConfigIni(), "Settings", key), "0") << key;
    }

    // A first start writes the values it started with.
    DeleteFileA(e2e::ToSystem(ConfigIni()).c_str());
    StartProgram();
    CloseProgram();
    const std::pair<const char*, const char*> firstStart[] = {
        {"Resolution", "0"}, {"Framerate", "1"}, {"Channels", "1"}, {"VideoQuality", "450"},
        {"AudioQuality", "48"}, {"Volume", "100"}, {"PspNumber", "30000"}};
    for (const auto& [key, value] : firstStart) {
        EXPECT_EQ(e2e::ReadIni(ConfigIni(), "Settings", key), value) << key;
    }
    EXPECT_TRUE(e2e::DirectoryExists(e2e::ReadIni(ConfigIni(), "Settings", "Output")));
}

TEST_F(MainWindow, ClosingKeepsTheWindowOpenWhenConfigCannotBeWritten) {
    // A folder in the file's place refuses the write (a read-only file does
    // not: Wine writes it anyway when run as root).
    CreateDirectoryA(e2e::ToSystem(ConfigIni()).c_str(), nullptr);
    StartProgram();
    e2e::Click(Button(IDC_CLOSE));
    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(Pid());
    ASSERT_NE(box.window, nullptr) << "no error box";
    EXPECT_EQ(box.caption, "Vidquill");
    EXPECT_EQ(box.text, "无法写入" + ConfigIni() + ".");
    EXPECT_TRUE(box.hasStopIcon);
    ASSERT_TRUE(e2e::PressOk(box));
    EXPECT_TRUE(IsWindowVisible(Form()));
    EXPECT_TRUE(Process().Running());

    // Once the way is free, the next close writes and ends the program.
    RemoveDirectoryA(e2e::ToSystem(ConfigIni()).c_str());
    CloseProgram();
    EXPECT_EQ(e2e::ReadIni(ConfigIni(), "Settings", "Output"), "0");
}

TEST_F(MainWindow, AValueThatIsNoNumberIsReportedOnceAtStartAndTheWindowStillOpens) {
    WriteConfig("[Settings]\r\nResolution=2\r\nFramerate=1\r\nChannels=1\r\nVideoQuality=abc\r\n"
                "AudioQuality=64\r\nPspNumber=500\r\nOutput=D:\\psp\r\n");
    StartProgram(false);
    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(Pid());
    ASSERT_NE(box.window, nullptr) << "no error box at start";
    EXPECT_EQ(box.caption, "Vidquill");
    EXPECT_EQ(box.text, "'abc' 非有效的整数值.");
    EXPECT_TRUE(box.hasStopIcon);
    Screenshot("error-box");
    ASSERT_TRUE(e2e::PressOk(box));

    HWND form = e2e::WaitForWindow(Pid(), VQ_CLASS_MAIN_WINDOW, "Vidquill");
    ASSERT_NE(form, nullptr) << "the main window did not open after the error";
    EXPECT_TRUE(e2e::WaitForMessageBox(Pid(), 300).window == nullptr) << "a second error box";

    // The loading stopped at VideoQuality: the output folder was not read
    // (empty) and the first number is still 30000.
    std::string videos = InFolder("videos");
    MakeFiles(videos, {"a.avi"});
    e2e::Click(e2e::Control(form, IDC_ADD_FILES));
    ASSERT_TRUE(e2e::ChooseFilesInOpenDialog(Pid(), videos, {"a.avi"}));
    HWND list = e2e::Control(form, IDC_JOB_LIST);
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(list) == 1; }));
    EXPECT_EQ(e2e::ReadListRows(list, 3).at(0).at(1), "M4V30000.MP4");
}

}  // namespace
