#include <gtest/gtest.h>

#include <vector>

#include "app_error.h"
#include "codepage.h"
#include "setting_rules.h"
#include "settings_values.h"

namespace {

std::vector<std::string> Targets(const JobList& list) {
    std::vector<std::string> out;
    for (int i = 0; i < list.Count(); ++i) out.push_back(list.Row(i).Target);
    return out;
}

JobList ThreeRows(int32_t first, const std::string& output) {
    JobList list;
    list.NextNumber = first;
    for (const char* f : {"D:\\a.avi", "D:\\b.avi", "D:\\c.avi"}) list.AddJob(f, output);
    return list;
}

TEST(QualityPresets, SixPresetsInOrderWithTheirRatesAndChannels) {
    struct Expected {
        const char* name;
        int32_t video, audio;
        int channels;
    };
    const Expected expected[] = {{"较低品质", 150, 16, 0}, {"一般品质", 300, 32, 0},
                                 {"标准品质", 450, 48, 1}, {"中等品质", 600, 64, 1},
                                 {"较高品质", 800, 96, 1}, {"超高品质", 1000, 128, 1}};
    ASSERT_EQ(kPresetCount, 6);
    for (int i = 0; i < kPresetCount; ++i) {
        const QualityPreset* p = PresetAt(i);
        ASSERT_NE(p, nullptr) << i;
        EXPECT_EQ(SysText(p->name), SysText(expected[i].name)) << i;
        EXPECT_EQ(p->videoKbps, expected[i].video) << i;
        EXPECT_EQ(p->audioKbps, expected[i].audio) << i;
        EXPECT_EQ(p->channelIndex, expected[i].channels) << i;
    }
    EXPECT_EQ(SysText(PresetAt(kStandardPreset)->name), SysText("标准品质"));
    // No selection (CB_ERR) and anything past the list change nothing.
    EXPECT_EQ(PresetAt(-1), nullptr);
    EXPECT_EQ(PresetAt(6), nullptr);
}

TEST(VolumeLabel, PercentSignBeforeTheNumberAndTrackBarRange) {
    EXPECT_EQ(InitialVolumeLabel(), SysText("音量:"));
    EXPECT_EQ(VolumeLabelText(0), SysText("音量: %0"));
    EXPECT_EQ(VolumeLabelText(100), SysText("音量: %100"));
    EXPECT_EQ(VolumeLabelText(200), SysText("音量: %200"));
    EXPECT_EQ(ClampVolume(250), 200);
    EXPECT_EQ(ClampVolume(-1), 0);
    EXPECT_EQ(ClampVolume(INT32_MIN), 0);
    EXPECT_EQ(ClampVolume(137), 137);
}

TEST(BitRateArrows, StepByOneFromTheShownNumberWithinTheRange) {
    EXPECT_EQ(StepBitRate("999", +1), 1000);
    EXPECT_EQ(StepBitRate("450", -1), 449);
    EXPECT_EQ(StepBitRate("11", -1), 10);
    EXPECT_EQ(StepBitRate("9999", +1), 10000);
    // The ends hold; nothing wraps around.
    EXPECT_EQ(StepBitRate("10000", +1), 10000);
    EXPECT_EQ(StepBitRate("10", -1), 10);
    EXPECT_EQ(StepBitRate("10", +1), 11);
    EXPECT_EQ(StepBitRate("10000", -1), 9999);
    // Whatever the field shows counts, read by the shared number rule.
    EXPECT_EQ(StepBitRate("  20", +1), 21);
    EXPECT_EQ(StepBitRate("$3E8", +1), 1001);
}

TEST(BitRateArrows, TextOutsideTheRangeIsBroughtIntoIt) {
    EXPECT_EQ(StepBitRate("5", +1), 10);
    EXPECT_EQ(StepBitRate("5", -1), 10);
    EXPECT_EQ(StepBitRate("-2147483648", -1), 10);
    EXPECT_EQ(StepBitRate("12000", -1), 10000);
    EXPECT_EQ(StepBitRate("12000", +1), 10000);
    EXPECT_EQ(StepBitRate("2147483647", +1), 10000);
    for (const char* text : {"abc", "", "10 ", "99999999999"}) {
        EXPECT_EQ(StepBitRate(text, +1), 10) << text;
        EXPECT_EQ(StepBitRate(text, -1), 10) << text;
    }
}

TEST(DefaultsCounter, RowCountAfterPspNumberWithoutReusingARowsNumber) {
    JobList list = ThreeRows(30000, "E:\\PSP");
    EXPECT_EQ(NumberAfterDefaults(30000, list), 30003);
    EXPECT_EQ(NumberAfterDefaults(30010, list), 30013);

    JobList empty;
    EXPECT_EQ(NumberAfterDefaults(30000, empty), 30000);

    // The last row removed: its number is free again.
    JobList tail = ThreeRows(30000, "E:\\PSP");
    tail.Select(2);
    tail.RemoveSelected();
    EXPECT_EQ(NumberAfterDefaults(30000, tail), 30002);

    // A middle row removed: PspNumber + 2 = 30002 still belongs to the last
    // row, and a new file of that number would overwrite its output.
    JobList middle = ThreeRows(30000, "E:\\PSP");
    middle.Select(1);
    middle.RemoveSelected();
    EXPECT_EQ(NumberAfterDefaults(30000, middle), 30003);

    // Relative and root folders, and negative numbers.
    EXPECT_EQ(NumberAfterDefaults(0, ThreeRows(5, "")), 8);
    EXPECT_EQ(NumberAfterDefaults(0, ThreeRows(5, "E:\\")), 8);
    EXPECT_EQ(NumberAfterDefaults(-10, ThreeRows(-10, "0")), -7);
}

using Numbers = std::vector<int32_t>;

class ConfirmSettingsTest : public ::testing::Test {
protected:
    ConversionSettings settings{2, 0, 0, 300, 32, 50, 30000, "E:\\PSP"};
    JobList jobs = ThreeRows(30000, "E:\\PSP");
    int saves = 0;
    std::function<void()> save = [this] { ++saves; };
    // Frame size, frame rate, channels, the second column's six lists (none
    // selected), video and audio rate, volume, first number.
    SettingFields fields{1, 1, 1, -1, -1, -1, -1, -1, -1, "800", "96", 120, "30010"};
    int handedBack = 0;
    // The dialog's "确定" on a copy of `settings`, taken back as the main window does.
    void Confirm() {
        const ConversionSettings shown = settings;
        ConfirmSettings(fields, shown, [&](const EditedSettings& edited) {
            ++handedBack;
            AdoptSettings(edited, settings, jobs, save);
        });
    }
};

TEST_F(ConfirmSettingsTest, StoresEveryFieldRenumbersAndSaves) {
    Confirm();
    EXPECT_EQ(FirstColumnNumbers(settings), (Numbers{1, 1, 1, 800, 96, 120, 30010}));
    EXPECT_EQ(Targets(jobs), (std::vector<std::string>{"E:\\PSP\\M4V30010.MP4", "E:\\PSP\\M4V30011.MP4",
                                                       "E:\\PSP\\M4V30012.MP4"}));
    EXPECT_EQ(jobs.NextNumber, 30013);
    EXPECT_EQ(saves, 1);
}

TEST_F(ConfirmSettingsTest, NoRangeCheckAndNoSelectionIsMinusOne) {
    fields.resolution = fields.framerate = fields.channels = -1;
    fields.video = "12000";
    fields.audio = "-5";
    fields.number = "0";
    Confirm();
    EXPECT_EQ(FirstColumnNumbers(settings), (Numbers{-1, -1, -1, 12000, -5, 120, 0}));
    EXPECT_EQ(jobs.Row(0).Target, "E:\\PSP\\M4V0.MP4");
}

// The second column's lists are stored with the others; H.264 names the
// rows "MAQ" in a memory stick's H.264 folder, and "默认" counts their numbers.
TEST_F(ConfirmSettingsTest, TheSecondColumnIsStoredAndH264RenamesTheRows) {
    settings.Output = "E:\\MP_ROOT\\100MNV01";
    fields.aspectMode = 2;
    fields.videoFormat = 1;
    fields.titleFromName = 1;
    fields.subtitles = -1;
    fields.audioTrack = 1;
    fields.simultaneous = 4;
    fields.audio = "x";  // stops after the lists
    EXPECT_THROW(Confirm(), ConversionError);
    EXPECT_EQ(SecondColumnNumbers(settings), (Numbers{2, 1, 1, -1, 1, 4}));
    fields.audio = "96";
    Confirm();
    EXPECT_EQ(Targets(jobs), (std::vector<std::string>{"E:\\MP_ROOT\\100ANV01\\MAQ30010.MP4",
                                                       "E:\\MP_ROOT\\100ANV01\\MAQ30011.MP4",
                                                       "E:\\MP_ROOT\\100ANV01\\MAQ30012.MP4"}));
    jobs.Select(1);
    jobs.RemoveSelected();
    EXPECT_EQ(NumberAfterDefaults(30010, jobs), 30013);
}

// A text that is no number stops the steps at its field: what came before it
// stays stored, nothing after it is, the rows keep their targets and nothing
// is saved.
TEST_F(ConfirmSettingsTest, AFieldThatIsNoNumberStopsAtThatField) {
    const std::vector<std::string> before = Targets(jobs);
    fields.audio = "abc";
    EXPECT_EQ(ErrorBoxTextOf<ConversionError>([&] { Confirm(); }),
              SysText("'abc' 非有效的整数值."));
    EXPECT_EQ(FirstColumnNumbers(settings), (Numbers{1, 1, 1, 800, 32, 50, 30000}));
    EXPECT_EQ(Targets(jobs), before);
    EXPECT_EQ(jobs.NextNumber, 30003);
    EXPECT_EQ(saves, 0);

    // In the file number: the volume is stored, the number and rows are not.
    fields.audio = "64";
    fields.number = "30 010";
    EXPECT_THROW(Confirm(), ConversionError);
    EXPECT_EQ(FirstColumnNumbers(settings), (Numbers{1, 1, 1, 800, 64, 120, 30000}));
    EXPECT_EQ(Targets(jobs), before);
    EXPECT_EQ(saves, 0);
    EXPECT_EQ(handedBack, 2);  // what was stored comes back each time, before the error box
}

TEST_F(ConfirmSettingsTest, ARefusedSaveLeavesTheRowsRenumbered) {
    save = [] { throw WriteError("C:\\p\\Config.ini"); };
    EXPECT_THROW(Confirm(), WriteError);
    EXPECT_EQ(settings.PspNumber, 30010);
    EXPECT_EQ(jobs.Row(2).Target, "E:\\PSP\\M4V30012.MP4");
    EXPECT_EQ(jobs.NextNumber, 30013);
}

TEST(CenteredOrigin, TruncatingHalvesOnAnyMonitor) {
    const ScreenRect primary{0, 0, 1280, 1024};
    // (1280 - 339) / 2 = 470.5 and (1024 - 421) / 2 = 301.5 both truncate.
    EXPECT_EQ(CenteredOrigin(primary, 339, 421).x, 470);
    EXPECT_EQ(CenteredOrigin(primary, 339, 421).y, 301);
    // A second monitor to the right, and one left of and above the primary.
    const ScreenRect right{1280, 0, 2560, 1024};
    EXPECT_EQ(CenteredOrigin(right, 400, 300).x, 1280 + 440);
    const ScreenRect left{-1024, -768, 0, 0};
    EXPECT_EQ(CenteredOrigin(left, 100, 101).x, -1024 + 462);
    EXPECT_EQ(CenteredOrigin(left, 100, 101).y, -768 + 333);
    // Wider than the monitor: -3 / 2 = -1 and -1 / 2 = 0 (toward zero, not down).
    EXPECT_EQ(CenteredOrigin(primary, 1283, 1025).x, -1);
    EXPECT_EQ(CenteredOrigin(primary, 1283, 1025).y, 0);
    EXPECT_EQ(CenteredOrigin(right, 1283, 100).x, 1280 - 1);
}

}  // namespace
