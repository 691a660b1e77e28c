// The first start without Config.ini, against a file system in memory.
#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <set>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#endif

#include "drive_probe.h"
#include "first_start.h"
#include "settings_store.h"
#include "settings_values.h"
#include "test_folder.h"

namespace {

class FakeSystem : public FirstStartSystem {
public:
    std::set<std::string> files, folders;
    std::set<std::string> readOnly;  // folders in which nothing can be created
    std::set<std::string> unreadable;  // there, but the system cannot look at them now
    std::string drives = "CZ";
    std::string videos = "C:\\Users\\li\\Videos", documents = "C:\\Users\\li\\Documents";
    std::vector<std::string> created;

    bool Missing(const std::string& path) override {
        return !files.count(path) && !folders.count(path) && !unreadable.count(path);
    }
    std::string DriveLetters() override { return drives; }
    bool FolderExists(const std::string& path) override { return folders.count(path) > 0; }
    bool CreateFolder(const std::string& path) override {
        std::string parent = path.substr(0, path.rfind('\\'));
        if (parent.size() == 2) parent += '\\';
        if (!folders.count(parent) || readOnly.count(parent)) return false;
        created.push_back(path);
        folders.insert(path);
        return true;
    }
    std::string VideosFolder() override { return videos; }
    std::string DocumentsFolder() override { return documents; }
};

TEST(FirstStart, WithoutConfigTheDefaultValuesAndAnExistingFolder) {
    FakeSystem system;
    system.folders = {"C:\\", "C:\\Users\\li\\Videos", "C:\\Users\\li\\Documents", "Z:\\"};
    ConversionSettings settings;
    int32_t next = 0;
    ASSERT_TRUE(ApplyFirstStart(system, "C:\\Vidquill\\Config.ini", settings, next));
    EXPECT_EQ(settings.Resolution, 0);
    EXPECT_EQ(FrameSizeText(settings.Resolution), "320x240");
    EXPECT_EQ(FrameRateText(settings.Framerate), "29.97");
    EXPECT_EQ(ChannelText(settings.Channels), "2");
    EXPECT_EQ(settings.VideoQuality, 450);
    EXPECT_EQ(settings.AudioQuality, 48);
    EXPECT_EQ(settings.Volume, 100);
    EXPECT_EQ(settings.PspNumber, 30000);
    // The picture's shape kept, MPEG-4 for every PSP, each file's own title,
    // subtitles burned in, Chinese sound first, rows at once as the machine allows.
    EXPECT_EQ(SecondColumnNumbers(settings), std::vector<int32_t>({1, 0, 1, 1, 1, 4}));
    EXPECT_EQ(next, 30000);
    EXPECT_EQ(settings.Output, "C:\\Users\\li\\Videos");
    EXPECT_TRUE(system.created.empty());

    // No Videos folder: Documents; neither: "" (the program's own folder).
    system.folders.erase("C:\\Users\\li\\Videos");
    EXPECT_EQ(FirstStartOutput(system), "C:\\Users\\li\\Documents");
    system.videos.clear();
    system.folders.erase("C:\\Users\\li\\Documents");
    EXPECT_EQ(FirstStartOutput(system), "");
}

TEST(FirstStart, APspDriveTakesTheVideosFolderOnItsMemoryStick) {
    FakeSystem system;
    system.drives = "CEFGZ";
    system.folders = {"C:\\", "E:\\", "F:\\", "F:\\PSP", "G:\\", "G:\\MP_ROOT", "G:\\MP_ROOT\\100MNV01",
                      "Z:\\", "C:\\Users\\li\\Videos"};
    // The first PSP drive in letter order; both folders created there.
    EXPECT_EQ(FirstStartOutput(system), "F:\\MP_ROOT\\100MNV01");
    EXPECT_EQ(system.created, (std::vector<std::string>{"F:\\MP_ROOT", "F:\\MP_ROOT\\100MNV01"}));

    // A drive with only MP_ROOT counts as well; an existing folder is used as it is.
    system.drives = "CGZ";
    system.created.clear();
    EXPECT_EQ(FirstStartOutput(system), "G:\\MP_ROOT\\100MNV01");
    EXPECT_TRUE(system.created.empty());

    // A write-protected stick is passed over for the next one, then for Videos.
    FakeSystem locked;
    locked.drives = "CF";
    locked.folders = {"C:\\", "F:\\", "F:\\PSP", "C:\\Users\\li\\Videos"};
    locked.readOnly = {"F:\\"};
    EXPECT_EQ(FirstStartOutput(locked), "C:\\Users\\li\\Videos");
}

TEST(FirstStart, AnExistingConfigIsReadAsAlwaysEvenWithMissingKeys) {
    TestFolder folder;
    std::string path = folder.Path("Config.ini");
    folder.WriteFile("Config.ini", "[Settings]\r\nVideoQuality=300\r\n");
    FakeSystem system;
    system.files = {path};
    system.drives = "F";
    system.folders = {"F:\\", "F:\\PSP", "C:\\Users\\li\\Videos"};

    ConversionSettings settings;
    int32_t next = 12;
    ASSERT_FALSE(ApplyFirstStart(system, path, settings, next));
    EXPECT_EQ(next, 12);
    EXPECT_TRUE(system.created.empty()) << "the PSP was written to although Config.ini exists";
    auto ini = MakeSystemIniFile();
    LoadSettings(*ini, path, settings, next);
    EXPECT_EQ(settings.VideoQuality, 300);
    EXPECT_EQ(settings.Volume, 0);  // a missing key still reads "0"
    EXPECT_EQ(settings.PspNumber, 0);
    EXPECT_EQ(next, 0);
    EXPECT_EQ(ReadOutput(*ini, path), "0");

    // Anything by that name counts as existing, a folder too (its reads give
    // the defaults, its writes are refused and reported), and so does a file
    // the system cannot look at now: its settings are the user's.
    system.files.clear();
    system.folders.insert(path);
    EXPECT_FALSE(ApplyFirstStart(system, path, settings, next));
    system.folders.erase(path);
    system.unreadable.insert(path);
    EXPECT_FALSE(ApplyFirstStart(system, path, settings, next));
    EXPECT_TRUE(system.created.empty());
}

TEST(FirstStart, ASlowDriveDoesNotHoldTheStart) {
    // D never answers while the call lasts; B answers after C.
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    const auto probe = [released](char letter) {
        if (letter == 'D') released.wait();
        if (letter == 'B') std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return letter != 'E';
    };
    EXPECT_EQ(LettersAnsweringYes("BCDEF", probe, std::chrono::milliseconds(1000)), "BCF");
    release.set_value();  // D's late yes goes nowhere
    EXPECT_EQ(LettersAnsweringYes("", probe, std::chrono::hours(1)), "");
}

#ifdef _WIN32
TEST(FirstStart, OnlyANameTheSystemDoesNotKnowIsMissing) {
    TestFolder folder;
    folder.WriteFile("Config.ini", "[Settings]\r\n");
    const std::string config = folder.Path("Config.ini");
    auto system = MakeSystemFirstStart();
    EXPECT_TRUE(system->Missing(folder.Path("Other.ini")));              // no such file
    EXPECT_TRUE(system->Missing(folder.Path("gone\\Config.ini")));     // no such folder
    EXPECT_FALSE(system->Missing(config));
    EXPECT_FALSE(system->Missing(folder.Path("Con?fig.ini")));          // cannot be looked at: not an answer
    HANDLE locked = CreateFileA(config.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(system->Missing(config));                               // held by another program
    CloseHandle(locked);
}
#endif

}  // namespace
