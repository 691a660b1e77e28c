#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <vector>

#include "app_error.h"
#include "codepage.h"
#include "encoder_command.h"
#include "settings_store.h"
#include "settings_values.h"
#include "test_folder.h"

namespace {

using Numbers = std::vector<int32_t>;

// Records the order of reads and writes, and can refuse the n-th write.
class ScriptedIni : public IniFile {
public:
    std::map<std::string, std::string> values;
    std::vector<std::string> log;
    int refuseWrite = -1;

    std::string ReadString(const std::string&, const std::string& section, const std::string& key,
                           const std::string& def) override {
        log.push_back("read " + section + "." + key);
        auto it = values.find(key);
        return it == values.end() ? def : it->second;
    }
    bool WriteString(const std::string&, const std::string& section, const std::string& key,
                     const std::string& value) override {
        if (static_cast<int>(log.size()) == refuseWrite) return false;
        log.push_back("write " + section + "." + key + "=" + value);
        values[key] = value;
        return true;
    }
};

class SettingsStore : public ::testing::Test {
protected:
    TestFolder folder;
    std::string path = folder.Path("Config.ini");
    std::unique_ptr<IniFile> ini = MakeSystemIniFile();
    ConversionSettings settings;
    int32_t next = 30000;
};

TEST_F(SettingsStore, NoFileGivesZerosAndOutputZero) {
    LoadSettings(*ini, path, settings, next);
    EXPECT_EQ(FirstColumnNumbers(settings), (Numbers{0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(next, 0);
    EXPECT_EQ(ReadOutput(*ini, path), "0");
}

TEST_F(SettingsStore, EachKeyIsReadIntoItsOwnField) {
    folder.WriteFile("Config.ini",
                     "[Settings]\r\nFramerate=0\r\nChannels=1\r\nResolution=2\r\nVideoQuality=450\r\n"
                     "AudioQuality=48\r\nVolume=250\r\nPspNumber=$10\r\nOutput=E:\\PSP\r\n");
    LoadSettings(*ini, path, settings, next);
    EXPECT_EQ(FirstColumnNumbers(settings), (Numbers{2, 0, 1, 450, 48, 250, 16}));  // loading never clamps
    EXPECT_EQ(next, 16);
    EXPECT_EQ(ReadOutput(*ini, path), "E:\\PSP");
}

TEST_F(SettingsStore, ABadNumberStopsLoadingAtItsKey) {
    folder.WriteFile("Config.ini",
                     "[Settings]\r\nResolution=1\r\nFramerate=1\r\nChannels=1\r\nVideoQuality=abc\r\n"
                     "AudioQuality=48\r\nVolume=100\r\nPspNumber=5\r\n");
    EXPECT_EQ(ErrorBoxTextOf<ConversionError>([&] { LoadSettings(*ini, path, settings, next); }),
              SysText("'abc' 非有效的整数值."));
    EXPECT_EQ(FirstColumnNumbers(settings), (Numbers{1, 1, 1, 0, 0, 0, 30000}));
    EXPECT_EQ(next, 30000);
}

TEST_F(SettingsStore, AnEmptyValueIsNotTheDefault) {
    folder.WriteFile("Config.ini", "[Settings]\r\nResolution=\r\n");
    EXPECT_EQ(ErrorBoxTextOf<ConversionError>([&] { LoadSettings(*ini, path, settings, next); }),
              SysText("'' 非有效的整数值."));
}

TEST_F(SettingsStore, SaveWritesTheDocumentedFile) {
    settings = {0, 1, 1, 450, 48, 100, 30000, "E:\\PSP"};
    SaveSettings(*ini, path, settings);
    WriteOutput(*ini, path, settings.Output);
    EXPECT_EQ(folder.ReadFile("Config.ini").find("[Settings]"), 0u);
    ConversionSettings loaded;
    LoadSettings(*ini, path, loaded, next);
    EXPECT_EQ(FirstColumnNumbers(loaded), FirstColumnNumbers(settings));
    EXPECT_EQ(ReadOutput(*ini, path), "E:\\PSP");
    WriteOutput(*ini, path, "");
    EXPECT_EQ(ReadOutput(*ini, path), "");  // "Output=" reads back empty
}

// A file from before the picture, format, title and subtitle settings reads
// them as 0 and gives today's command line byte for byte; once saved they
// come back as written.
TEST_F(SettingsStore, LaterKeysMissingGiveTodaysCommandLine) {
    folder.WriteFile("Config.ini",
                     "[Settings]\r\nResolution=0\r\nFramerate=1\r\nChannels=1\r\nVideoQuality=450\r\n"
                     "AudioQuality=48\r\nVolume=100\r\nPspNumber=30000\r\nOutput=E:\\\r\n");
    settings.AspectMode = settings.VideoFormat = settings.TitleFromName = settings.Subtitles = 1;
    settings.AudioTrack = settings.Simultaneous = 1;
    LoadSettings(*ini, path, settings, next);
    EXPECT_EQ(BuildEncoderCommand({"D:\\v\\a.avi", "E:\\M4V30000.MP4", "", ""}, settings,
                                  "C:\\WINDOWS\\system32\\trancor.exe"),
              "C:\\WINDOWS\\system32\\trancor.exe -i \"D:\\v\\a.avi\"  -s 320x240  -r 29.97  -ac 2"
              "  -b 450  -ab 48  -vol 100  -title \"pelmora\"  -ar 24000  -acodec aac  -f psp"
              " -y \"E:\\M4V30000.MP4\"");

    settings.AspectMode = 2;
    settings.VideoFormat = 1;
    settings.TitleFromName = 1;
    settings.Subtitles = -7;
    settings.AudioTrack = 1;
    settings.Simultaneous = 4;
    SaveSettings(*ini, path, settings);
    const std::string file = folder.ReadFile("Config.ini");
    for (const char* line : {"AspectMode=2", "VideoFormat=1", "TitleFromName=1", "Subtitles=-7", "AudioTrack=1",
                             "Simultaneous=4"})
        EXPECT_NE(file.find(line), std::string::npos) << line << " in\n" << file;
    ConversionSettings loaded;
    LoadSettings(*ini, path, loaded, next);
    EXPECT_EQ(SecondColumnNumbers(loaded), (Numbers{2, 1, 1, -7, 1, 4}));
}

TEST_F(SettingsStore, ReadAndWriteOrders) {
    ScriptedIni scripted;
    LoadSettings(scripted, "p", settings, next);
    SaveSettings(scripted, "p", settings);
    EXPECT_EQ(scripted.log, (std::vector<std::string>{
        "read Settings.Resolution", "read Settings.Channels", "read Settings.Framerate",
        "read Settings.VideoQuality", "read Settings.AudioQuality", "read Settings.Volume",
        "read Settings.PspNumber", "read Settings.AspectMode", "read Settings.VideoFormat",
        "read Settings.TitleFromName", "read Settings.Subtitles", "read Settings.AudioTrack",
        "read Settings.Simultaneous",
        "write Settings.Resolution=0", "write Settings.Framerate=0", "write Settings.Channels=0",
        "write Settings.VideoQuality=0", "write Settings.AudioQuality=0", "write Settings.Volume=0",
        "write Settings.PspNumber=0", "write Settings.AspectMode=0", "write Settings.VideoFormat=0",
        "write Settings.TitleFromName=0", "write Settings.Subtitles=0", "write Settings.AudioTrack=0",
        "write Settings.Simultaneous=0"}));
}

TEST_F(SettingsStore, ARefusedWriteStopsAndNamesTheFile) {
    ScriptedIni scripted;
    scripted.refuseWrite = 2;  // the third write, Channels
    EXPECT_EQ(ErrorBoxTextOf<WriteError>([&] { SaveSettings(scripted, "C:\\x\\Config.ini", settings); }),
              SysText("无法写入C:\\x\\Config.ini."));
    EXPECT_EQ(scripted.log.size(), 2u);  // Resolution and Framerate only

    // The real store, with a folder where the file should be.
    std::filesystem::create_directory(path);
    EXPECT_THROW(SaveSettings(*ini, path, settings), WriteError);
    EXPECT_THROW(WriteOutput(*ini, path, "E:\\PSP"), WriteError);
}

TEST(ConfigPath, SitsBesideTheExecutable) {
    EXPECT_EQ(ConfigPath("C:\\Program Files\\Vidquill\\Vidquill.exe"), "C:\\Program Files\\Vidquill\\Config.ini");
    EXPECT_EQ(ConfigPath("C:\\Vidquill.exe"), "C:\\\\Config.ini");
    EXPECT_EQ(ConfigPath(SysText("D:\\工具\\Vidquill.exe")), SysText("D:\\工具\\Config.ini"));
}

}  // namespace
