// The settings dialog of the running program, driven from outside: what it
// shows from Config.ini, the presets, "默认", "确定" with renumbering and with a
// field that is no number, the arrows, the keyboard and a refused save.
#include <windows.h>

#include <string>
#include <vector>

#include "settings_dialog.h"
#include "scenario.h"
#include "settings_support.h"

using Texts = std::vector<std::string>;

namespace {

const char kStoredSettings[] =
    "[Settings]\r\nResolution=2\r\nFramerate=0\r\nChannels=1\r\nVideoQuality=450\r\n"
    "AudioQuality=48\r\nVolume=100\r\nPspNumber=30000\r\nOutput=E:\\PSP\r\n";

class SettingsDialog : public ProgramScenario {
protected:
    // Config.ini, the program started, the dialog open.
    void StartWithTheDialog(const std::string& config = kStoredSettings) {
        WriteConfig(config);
        StartProgram();
        Open();
    }
    // Opens the dialog through the main window's settings button.
    void Open() {
        e2e::Click(Button(IDC_SETTINGS));
        dialog_ = e2e::WaitForSettingsDialog(Pid());
        ASSERT_NE(dialog_, nullptr) << "the settings dialog did not open";
    }
    // Presses a push button of the dialog and waits until it has closed.
    void CloseWith(int button) {
        e2e::Click(Item(button));
        ASSERT_TRUE(e2e::WaitForSettingsDialogGone(Pid())) << "the dialog stayed open";
    }
    HWND Dialog() const { return dialog_; }
    HWND Item(int id) const { return e2e::Control(dialog_, id); }
    std::string Text(int id) const { return e2e::WindowText(Item(id)); }
    std::string Choice(int id) const { return e2e::DropDownText(Item(id)); }
    int Volume() const { return e2e::TrackBarPosition(Item(kIdVolumeSlider)); }
    std::string Ini(const char* key) const { return e2e::ReadIni(ConfigIni(), "Settings", key); }
    // Waits until an edit field shows `text` (handlers run on the program's thread).
    bool Shows(int id, const std::string& text) const {
        return e2e::WaitUntil([&] { return Text(id) == text; });
    }
    // A key pressed in a control that has the keyboard focus the way Tab gives it.
    bool PressKey(int id, WORD key) {
        if (!e2e::FocusControl(Dialog(), Item(id))) return false;
        e2e::PostKey(Item(id), key);
        return true;
    }
    // What controls show: a list its selected item, any other its text.
    void ExpectShown(std::initializer_list<std::pair<int, const char*>> expected) const {
        for (const auto& [id, text] : expected) {
            char type[32] = {};
            GetClassNameA(Item(id), type, sizeof type);
            EXPECT_EQ(std::string(type) == "ComboBox" ? Choice(id) : Text(id), text) << type << " " << id;
        }
    }
    void ExpectIni(std::initializer_list<std::pair<const char*, const char*>> expected) const {
        for (const auto& [key, value] : expected) EXPECT_EQ(Ini(key), value) << key;
    }
    // Adds `names`; true once the list has `rows` rows. Each addition takes
    // its files from a folder of its own: the driver's open dialog does not
    // take files from the folder it already shows.
    bool AddVideos(const std::vector<std::string>& names, int rows) {
        std::string videos = InFolder("videos-" + names.front());
        MakeFiles(videos, names);
        AddFiles(videos, names);
        return e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == rows; });
    }

private:
    HWND dialog_ = nullptr;
};

TEST_F(SettingsDialog, AConfigWithoutValuesShowsTheZeroSettingsInTheLayoutAndWritesThemOnOpening) {
    StartWithTheDialog("[Settings]\r\n");  // every key missing reads "0" (no Config.ini at all: first start)

    EXPECT_EQ(e2e::WindowText(Dialog()), "设置");
    SIZE client = e2e::ClientSize(Dialog());
    EXPECT_EQ(client.cx, 657);  // the second column widens it to the right
    EXPECT_EQ(client.cy, 392);
    struct Place {
        int id, left, top, width, height;
    };
    for (const Place& p : {Place{kIdOkButton, 159, 362, 75, 25}, Place{kIdCancelButton, 244, 362, 75, 25},
                           Place{kIdDefaultsButton, 20, 362, 75, 25}, Place{kIdPresetList, 136, 24, 137, 21},
                           Place{kIdChannelList, 136, 224, 121, 21}, Place{kIdVideoRateEdit, 136, 144, 105, 21},
                           Place{kIdVideoRateArrows, 241, 144, 15, 21}, Place{kIdVolumeSlider, 136, 264, 121, 33},
                           Place{kIdFirstNumberEdit, 136, 312, 121, 21}, Place{kIdVolumeLabel, 32, 274, 81, 13}}) {
        RECT r = e2e::RectInParent(Item(p.id));
        EXPECT_EQ(r.left, p.left) << p.id;
        EXPECT_EQ(r.top, p.top) << p.id;
        EXPECT_EQ(r.right - r.left, p.width) << p.id;
        EXPECT_EQ(r.bottom - r.top, p.height) << p.id;
    }
    RECT outer = e2e::WindowRect(Dialog());
    EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
    EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2);
    EXPECT_FALSE(IsWindowEnabled(Form())) << "the main window takes no input meanwhile";

    ExpectShown({{kIdPresetList, "标准品质"}, {kIdFrameSizeList, "320 X 240"}, {kIdFrameRateList, "14.985"},
                 {kIdChannelList, "1 声道, 单声道"}, {kIdVideoRateEdit, "0"}, {kIdAudioRateEdit, "0"}});
    EXPECT_EQ(Volume(), 0);
    EXPECT_EQ(Text(kIdVolumeLabel), "音量:") << "the position did not change, so no handler ran";
    EXPECT_EQ(Text(kIdFirstNumberEdit), "0");
    for (const char* key : {"Resolution", "Framerate", "Channels", "VideoQuality", "AudioQuality",
                            "Volume", "PspNumber", "AspectMode", "VideoFormat", "TitleFromName", "Subtitles",
                            "AudioTrack", "Simultaneous"}) {
        EXPECT_EQ(Ini(key), "0") << key;
    }
    e2e::PaintNow(Dialog());
    Screenshot("settings-dialog");

    // Moved and closed by the close box: it comes back where it was left.
    SetWindowPos(Dialog(), nullptr, 40, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PostMessageA(Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(e2e::WaitForSettingsDialogGone(Pid()));
    EXPECT_TRUE(e2e::WaitUntil([&] { return IsWindowEnabled(Form()) != FALSE; }));
    Open();
    EXPECT_EQ(e2e::WindowRect(Dialog()).left, 40);
    EXPECT_EQ(e2e::WindowRect(Dialog()).top, 50);
    CloseWith(kIdCancelButton);
}

TEST_F(SettingsDialog, ValuesOutsideTheControlsAreShownAtTheirEndsOrAsNoItem) {
    StartWithTheDialog("[Settings]\r\nResolution=5\r\nVolume=250\r\n");
    EXPECT_EQ(e2e::DropDownIndex(Item(kIdFrameSizeList)), -1);
    EXPECT_EQ(Choice(kIdFrameSizeList), "");
    EXPECT_EQ(Volume(), 200);
    EXPECT_EQ(Text(kIdVolumeLabel), "音量: %200");
    CloseWith(kIdOkButton);
    ExpectIni({{"Resolution", "-1"}, {"Volume", "200"}});
}

TEST_F(SettingsDialog, APresetPickedFillsTheRatesAndChannelsOnly) {
    StartWithTheDialog();
    EXPECT_EQ(Text(kIdVolumeLabel), "音量: %100");
    ASSERT_TRUE(PressKey(kIdPresetList, VK_HOME));  // the keyboard picks the first item
    ASSERT_TRUE(Shows(kIdVideoRateEdit, "150"));
    ExpectShown({{kIdPresetList, "较低品质"}, {kIdAudioRateEdit, "16"}, {kIdChannelList, "1 声道, 单声道"}});
    CloseWith(kIdOkButton);
    ExpectIni({{"VideoQuality", "150"}, {"AudioQuality", "16"}, {"Channels", "0"}, {"Resolution", "2"},
               {"Framerate", "0"}, {"Volume", "100"}});
}

TEST_F(SettingsDialog, ThePresetChoiceOutlivesCancelWhileEveryShowingRefillsAndSaves) {
    StartWithTheDialog();
    ASSERT_TRUE(PressKey(kIdPresetList, VK_END));
    ASSERT_TRUE(Shows(kIdVideoRateEdit, "1000"));
    EXPECT_EQ(Text(kIdAudioRateEdit), "128");
    CloseWith(kIdCancelButton);
    EXPECT_EQ(Ini("VideoQuality"), "450");

    ASSERT_TRUE(DeleteFileA(e2e::ToSystem(ConfigIni()).c_str()));
    Open();
    ExpectShown({{kIdPresetList, "超高品质"}, {kIdVideoRateEdit, "450"}, {kIdAudioRateEdit, "48"},
                 {kIdChannelList, "2 声道, 立体声"}});
    EXPECT_EQ(Ini("VideoQuality"), "450") << "showing the dialog writes Config.ini again";
    EXPECT_EQ(Ini("PspNumber"), "30000");
    CloseWith(kIdCancelButton);
}

TEST_F(SettingsDialog, DefaultsThenCancelKeepEverythingButSetTheCounterWithoutDuplicates) {
    WriteConfig("[Settings]\r\nResolution=2\r\nFramerate=0\r\nChannels=0\r\nVideoQuality=300\r\n"
                "AudioQuality=32\r\nVolume=50\r\nPspNumber=30000\r\nOutput=E:\\PSP\r\n");
    StartProgram();
    ASSERT_TRUE(AddVideos({"a.avi", "b.avi", "c.avi"}, 3));

    Open();
    e2e::TypeText(Item(kIdFirstNumberEdit), "12345");
    e2e::Click(Item(kIdDefaultsButton));
    ASSERT_TRUE(Shows(kIdFirstNumberEdit, "30000")) << "the stored number replaces the typed one";
    ExpectShown({{kIdPresetList, "标准品质"}, {kIdVideoRateEdit, "450"}, {kIdAudioRateEdit, "48"},
                 {kIdChannelList, "2 声道, 立体声"}, {kIdFrameSizeList, "320 X 240"}, {kIdFrameRateList, "29.97"}});
    EXPECT_EQ(Volume(), 100);
    EXPECT_EQ(Text(kIdVolumeLabel), "音量: %100");
    CloseWith(kIdCancelButton);
    ExpectIni({{"VideoQuality", "300"}, {"Resolution", "2"}, {"Volume", "50"}});
    EXPECT_EQ(Column(1), (Texts{"E:\\PSP\\M4V30000.MP4", "E:\\PSP\\M4V30001.MP4",
                                "E:\\PSP\\M4V30002.MP4"}));

    // Row `row` of three removed, "默认" then "取消", and file `name` added.
    auto removeThenDefaultsThenAdd = [&](int row, const std::string& name) {
        ClickRow(row);
        e2e::Click(Button(IDC_REMOVE_ROWS));
        ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 2; }));
        Open();
        e2e::Click(Item(kIdDefaultsButton));
        ASSERT_TRUE(Shows(kIdVideoRateEdit, "450"));
        CloseWith(kIdCancelButton);
        ASSERT_TRUE(AddVideos({name}, 3));
    };
    // The last row removed: "默认" gives its number to the next file.
    ASSERT_NO_FATAL_FAILURE(removeThenDefaultsThenAdd(2, "d.avi"));
    EXPECT_EQ(Column(1).back(), "E:\\PSP\\M4V30002.MP4");
    // A middle row removed: PspNumber + rows would be the last row's number
    // again, and its file would be overwritten; the next number is free.
    ASSERT_NO_FATAL_FAILURE(removeThenDefaultsThenAdd(1, "e.avi"));
    EXPECT_EQ(Column(1), (Texts{"E:\\PSP\\M4V30000.MP4", "E:\\PSP\\M4V30002.MP4",
                                "E:\\PSP\\M4V30003.MP4"}));
}

TEST_F(SettingsDialog, ConfirmingRenumbersEveryRowFromTheTypedNumber) {
    WriteConfig(kStoredSettings);
    StartProgram();
    ASSERT_TRUE(AddVideos({"a.avi", "b.avi", "c.avi"}, 3));
    Open();
    e2e::TypeText(Item(kIdFirstNumberEdit), "30010");
    CloseWith(kIdOkButton);
    ASSERT_TRUE(e2e::WaitUntil([&] { return Column(1).front() == "E:\\PSP\\M4V30010.MP4"; }));
    EXPECT_EQ(Column(1), (Texts{"E:\\PSP\\M4V30010.MP4", "E:\\PSP\\M4V30011.MP4",
                                "E:\\PSP\\M4V30012.MP4"}));
    EXPECT_EQ(Ini("PspNumber"), "30010");
    ASSERT_TRUE(AddVideos({"d.avi"}, 4));
    EXPECT_EQ(Column(1).back(), "E:\\PSP\\M4V30013.MP4");
}

TEST_F(SettingsDialog, AFieldThatIsNoNumberStopsConfirmingThereAndTheDialogStillCloses) {
    WriteConfig("[Settings]\r\nResolution=0\r\nFramerate=1\r\nChannels=1\r\nVideoQuality=450\r\n"
                "AudioQuality=48\r\nVolume=100\r\nPspNumber=30000\r\nOutput=E:\\PSP\r\n");
    StartProgram();
    ASSERT_TRUE(AddVideos({"a.avi"}, 1));
    Open();
    // The user picks with the keyboard; the numbers are typed.
    for (auto [id, key] : {std::pair{kIdFrameSizeList, VK_END}, std::pair{kIdFrameRateList, VK_HOME},
                           std::pair{kIdChannelList, VK_HOME}})
        ASSERT_TRUE(PressKey(id, key));
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::DropDownIndex(Item(kIdChannelList)) == 0; }));
    e2e::TypeText(Item(kIdVideoRateEdit), "abc");
    e2e::TypeText(Item(kIdAudioRateEdit), "64");
    e2e::TypeText(Item(kIdFirstNumberEdit), "30010");
    e2e::Click(Item(kIdOkButton));

    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(Pid());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, "'abc' 非有效的整数值.");
    EXPECT_EQ(box.caption, "Vidquill");
    EXPECT_TRUE(box.hasStopIcon);
    e2e::PaintNow(box.window);
    Screenshot("error-box");
    ASSERT_TRUE(e2e::PressOk(box));
    ASSERT_TRUE(e2e::WaitForSettingsDialogGone(Pid()));
    EXPECT_EQ(Ini("Resolution"), "0") << "nothing is saved after the failure";
    EXPECT_EQ(Column(1).front(), "E:\\PSP\\M4V30000.MP4");

    // Frame size, frame rate and channels were stored before the video rate failed.
    Open();
    ExpectShown({{kIdFrameSizeList, "400 X 192"}, {kIdFrameRateList, "14.985"}, {kIdChannelList, "1 声道, 单声道"},
                 {kIdVideoRateEdit, "450"}, {kIdAudioRateEdit, "48"}, {kIdFirstNumberEdit, "30000"}});
    ExpectIni({{"Resolution", "2"}, {"VideoQuality", "450"}});
    CloseWith(kIdCancelButton);
    ASSERT_TRUE(AddVideos({"b.avi"}, 2));
    EXPECT_EQ(Column(1).back(), "E:\\PSP\\M4V30001.MP4");
}

TEST_F(SettingsDialog, ArrowsStepTheShownNumberByOneAndStayWithinTheRange) {
    StartWithTheDialog();
    // From what the showing put there, by the Down key in the field.
    ASSERT_TRUE(PressKey(kIdAudioRateEdit, VK_DOWN));
    ASSERT_TRUE(Shows(kIdAudioRateEdit, "47"));
    // From a typed number, by the Up key.
    e2e::TypeText(Item(kIdVideoRateEdit), "999");
    ASSERT_TRUE(PressKey(kIdVideoRateEdit, VK_UP));
    ASSERT_TRUE(Shows(kIdVideoRateEdit, "1000"));
    // At the top the up arrow holds; a wrap or an overrun would not end at 9999.
    e2e::TypeText(Item(kIdAudioRateEdit), "10000");
    RECT arrows = e2e::RectInParent(Item(kIdAudioRateArrows));
    const int w = arrows.right - arrows.left, h = arrows.bottom - arrows.top;
    e2e::PostLeftClick(Item(kIdAudioRateArrows), POINT{w / 2, h / 4});
    e2e::PostLeftClick(Item(kIdAudioRateArrows), POINT{w / 2, h * 3 / 4});
    ASSERT_TRUE(Shows(kIdAudioRateEdit, "9999"));
    // A number below the range is brought to its low end.
    e2e::TypeText(Item(kIdVideoRateEdit), "5");
    e2e::PostLeftClick(Item(kIdVideoRateArrows), POINT{w / 2, h / 4});
    ASSERT_TRUE(Shows(kIdVideoRateEdit, "10"));
    e2e::TypeText(Item(kIdVideoRateEdit), "1000");
    CloseWith(kIdOkButton);
    ExpectIni({{"VideoQuality", "1000"}, {"AudioQuality", "9999"}});
}

TEST_F(SettingsDialog, EnterPressesTheFocusedButtonOrConfirmsAndEscapeDoesNothing) {
    StartWithTheDialog();
    // Enter on "默认" runs it and the dialog stays.
    ASSERT_TRUE(e2e::FocusControl(Dialog(), Item(kIdDefaultsButton)));
    e2e::TypeText(Item(kIdAudioRateEdit), "77");
    e2e::PostKey(Item(kIdDefaultsButton), VK_RETURN);
    ASSERT_TRUE(Shows(kIdAudioRateEdit, "48"));
    // Escape, then Enter in an edit field: had Escape closed the dialog,
    // the typed number would not be stored.
    ASSERT_TRUE(e2e::FocusControl(Dialog(), Item(kIdVideoRateEdit)));
    e2e::TypeText(Item(kIdVideoRateEdit), "777");
    e2e::PostKey(Item(kIdVideoRateEdit), VK_ESCAPE);
    e2e::PostKey(Item(kIdVideoRateEdit), VK_RETURN);
    ASSERT_TRUE(e2e::WaitForSettingsDialogGone(Pid()));
    EXPECT_EQ(Ini("VideoQuality"), "777");

    // Enter on "取消" cancels.
    Open();
    ASSERT_TRUE(e2e::FocusControl(Dialog(), Item(kIdCancelButton)));
    e2e::TypeText(Item(kIdVideoRateEdit), "888");
    e2e::PostKey(Item(kIdCancelButton), VK_RETURN);
    ASSERT_TRUE(e2e::WaitForSettingsDialogGone(Pid()));
    EXPECT_EQ(Ini("VideoQuality"), "777");
}

TEST_F(SettingsDialog, ARefusedSaveIsShownAndTheDialogOpensFilledAllTheSame) {
    // Running as root, Wine writes even read-only files: a folder in the
    // file's place is what makes the system refuse the write.
    WriteConfig(kStoredSettings);
    StartProgram();
    ASSERT_TRUE(DeleteFileA(e2e::ToSystem(ConfigIni()).c_str()));
    ASSERT_TRUE(CreateDirectoryA(e2e::ToSystem(ConfigIni()).c_str(), nullptr));
    e2e::Click(Button(IDC_SETTINGS));
    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(Pid());
    ASSERT_NE(box.window, nullptr);
    EXPECT_EQ(box.text, "无法写入" + ConfigIni() + ".");
    EXPECT_TRUE(box.hasStopIcon);
    ASSERT_TRUE(e2e::PressOk(box));
    HWND dialog = e2e::WaitForSettingsDialog(Pid());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(e2e::WindowText(e2e::Control(dialog, kIdVideoRateEdit)), "450");
    EXPECT_EQ(e2e::WindowText(e2e::Control(dialog, kIdFirstNumberEdit)), "30000");
    e2e::Click(e2e::Control(dialog, kIdCancelButton));
    EXPECT_TRUE(e2e::WaitForSettingsDialogGone(Pid()));
    RemoveDirectoryA(e2e::ToSystem(ConfigIni()).c_str());
}

// The second column: picture shape, video format, title, subtitles, sound
// track and rows at once. Each list's item position is its stored value;
// H.264 greys the frame size.
TEST_F(SettingsDialog, TheSecondColumnFillsStoresCancelsAndTakesTheDefaults) {
    WriteConfig("[Settings]\r\nResolution=2\r\nFramerate=1\r\nChannels=1\r\nVideoQuality=450\r\n"
                "AudioQuality=48\r\nVolume=100\r\nPspNumber=30000\r\nAspectMode=2\r\nTitleFromName=0\r\n"
                "Subtitles=1\r\nSimultaneous=2\r\nOutput=E:\\MP_ROOT\\100MNV01\r\n");  // no VideoFormat, AudioTrack: 0
    StartProgram();
    ASSERT_TRUE(AddVideos({"a.avi", "b.avi"}, 2));
    const Texts mpeg4Targets{"E:\\MP_ROOT\\100MNV01\\M4V30000.MP4", "E:\\MP_ROOT\\100MNV01\\M4V30001.MP4"};
    EXPECT_EQ(Column(1), mpeg4Targets);
    Open();
    const int lists[] = {kIdAspectModeList, kIdVideoFormatList, kIdTitleList, kIdSubtitlesList,
                         kIdAudioTrackList, kIdSimultaneousList};
    for (int row = 0; row < 6; ++row) {
        RECT r = e2e::RectInParent(Item(lists[row]));
        EXPECT_EQ(r.left, 424) << row;
        EXPECT_EQ(r.top, 24 + 40 * row) << row;
        EXPECT_EQ(r.bottom - r.top, 21) << row;
    }
    // Tab order: on from the first number's field through the six lists.
    ASSERT_TRUE(e2e::FocusControl(Dialog(), Item(kIdFirstNumberEdit)));
    for (int id : lists) {
        e2e::PostKey(e2e::FocusedWindow(Dialog()), VK_TAB);
        EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::FocusedWindow(Dialog()) == Item(id); })) << id;
    }
    ExpectShown({{kIdAspectModeList, "裁切填满"}, {kIdVideoFormatList, "MPEG-4（所有 PSP）"},
                 {kIdTitleList, "固定（pelmora）"}, {kIdSubtitlesList, "烧录字幕"},
                 {kIdAudioTrackList, "源文件默认"}, {kIdSimultaneousList, "3 个"}});
    EXPECT_EQ(e2e::DropDownItems(Item(kIdSimultaneousList)), (Texts{"1 个", "2 个", "3 个", "4 个", "自动"}));
    EXPECT_EQ(e2e::DropDownItems(Item(kIdAudioTrackList)), (Texts{"源文件默认", "中文优先"}));
    EXPECT_TRUE(IsWindowEnabled(Item(kIdFrameSizeList)));
    EXPECT_EQ(Ini("VideoFormat"), "0") << "showing the dialog writes every key";
    EXPECT_EQ(Ini("AudioTrack"), "0");

    // H.264 greys the frame size and keeps it; "取消" forgets all of it.
    ASSERT_TRUE(PressKey(kIdVideoFormatList, VK_END));
    ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindowEnabled(Item(kIdFrameSizeList)); }));
    ExpectShown({{kIdVideoFormatList, "H.264 480×272（系统 3.30 以上）"}, {kIdFrameSizeList, "400 X 192"}});
    CloseWith(kIdCancelButton);
    EXPECT_EQ(Ini("VideoFormat"), "0");
    EXPECT_EQ(Column(1), mpeg4Targets);
    Open();
    EXPECT_EQ(Choice(kIdVideoFormatList), "MPEG-4（所有 PSP）");
    EXPECT_TRUE(IsWindowEnabled(Item(kIdFrameSizeList)));

    // Every list changed, then "默认": all but the video format go back.
    for (auto [id, key] : {std::pair{kIdVideoFormatList, VK_END}, std::pair{kIdAspectModeList, VK_HOME},
                           std::pair{kIdTitleList, VK_END}, std::pair{kIdSubtitlesList, VK_HOME},
                           std::pair{kIdAudioTrackList, VK_HOME}, std::pair{kIdSimultaneousList, VK_HOME}})
        ASSERT_TRUE(PressKey(id, key));
    ASSERT_TRUE(e2e::WaitUntil([&] { return Choice(kIdSimultaneousList) == "1 个"; }));
    ExpectShown({{kIdAspectModeList, "拉伸填满"}, {kIdTitleList, "源文件名"}, {kIdSubtitlesList, "不加字幕"},
                 {kIdAudioTrackList, "源文件默认"}});
    e2e::Click(Item(kIdDefaultsButton));
    ASSERT_TRUE(e2e::WaitUntil([&] { return Choice(kIdSubtitlesList) == "烧录字幕"; }));
    ExpectShown({{kIdAspectModeList, "保持比例（加黑边）"}, {kIdTitleList, "源文件名"},
                 {kIdAudioTrackList, "中文优先"}, {kIdSimultaneousList, "自动"},
                 {kIdVideoFormatList, "H.264 480×272（系统 3.30 以上）"}, {kIdFrameSizeList, "320 X 240"}});
    EXPECT_FALSE(IsWindowEnabled(Item(kIdFrameSizeList)));
    e2e::PaintNow(Dialog());
    Screenshot("second-column");

    // "确定" stores them and names the rows' targets for H.264 in the
    // memory stick's H.264 folder.
    ASSERT_TRUE(PressKey(kIdTitleList, VK_HOME));
    ASSERT_TRUE(e2e::WaitUntil([&] { return Choice(kIdTitleList) == "固定（pelmora）"; }));
    CloseWith(kIdOkButton);
    ExpectIni({{"AspectMode", "1"}, {"VideoFormat", "1"}, {"TitleFromName", "0"}, {"Subtitles", "1"},
               {"AudioTrack", "1"}, {"Simultaneous", "4"}});
    EXPECT_EQ(Ini("Resolution"), "0") << "a disabled frame size is stored all the same";
    EXPECT_EQ(Column(1), (Texts{"E:\\MP_ROOT\\100ANV01\\MAQ30000.MP4", "E:\\MP_ROOT\\100ANV01\\MAQ30001.MP4"}));
    ASSERT_TRUE(AddVideos({"c.avi"}, 3));
    EXPECT_EQ(Column(1).back(), "E:\\MP_ROOT\\100ANV01\\MAQ30002.MP4");
}

}  // namespace
