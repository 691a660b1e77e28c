// The first start without Config.ini: the settings of "默认", the number
// 30000 and an output folder that exists (the Videos folder, or the videos
// folder on a connected PSP). Run by first_start.sh, which maps a Wine drive
// letter to a folder holding PSP\ for the PSP case (VQ_E2E_PSP_DRIVE) and
// removes it afterwards; the other cases run without that drive.
#include <windows.h>
#include <shlobj.h>

#include <cstdlib>

#include "scenario.h"

using e2e::JoinPath;
using Texts = std::vector<std::string>;

namespace {

class FirstStart : public ProgramScenario {
protected:
    void SetUp() override {
        ProgramScenario::SetUp();
        e2e::InstallEncoderForProgram(e2e::WindowsPath(VQ_E2E_TEST_ENCODER));
        videos_ = InFolder("videos");
        MakeFiles(videos_, {"a.mp4"});
        // The stand-in encoder only records its command line. The program
        // passes on the environment it started with, so this comes first.
        SetEnvironmentVariableA("VQ_TEST_ENCODER", ("record=" + Record()).c_str());
    }
    void TearDown() override {
        ProgramScenario::TearDown();
        SetEnvironmentVariableA("VQ_TEST_ENCODER", nullptr);
    }
    std::string Record() const { return InFolder("record.txt"); }

    // Adds a.mp4, converts it with the stand-in encoder and returns the
    // command line it was given.
    std::string AddAndConvert() {
        AddFiles(videos_, {"a.mp4"});
        if (!e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 1; })) return "no row";
        e2e::Click(Button(IDC_START));
        e2e::MessageBoxInfo box = e2e::WaitForMessageBox(Pid(), 60000);
        if (!box.window) return "no end message";
        e2e::PressOk(box);
        std::string line = e2e::ReadTextFile(Record());
        return line.substr(0, line.find('\n'));
    }
    std::string ExpectedCommandLine(const std::string& target) const {
        return JoinPath(e2e::SystemFolder(), "trancor.exe") + " -i \"" + JoinPath(videos_, "a.mp4") +
               "\"  -s 320x240  -fit pad  -sub auto  -alang chi  -r 29.97  -ac 2  -b 450  -ab 48  -vol 100  -title \"a\"  "
               "-ar 24000  -acodec aac  -f psp -y \"" + target + "\"";
    }

    std::string videos_;
};

std::string UsersVideosFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_MYVIDEO, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return e2e::WideToUtf8(path);
}

TEST_F(FirstStart, WithoutConfigTheDefaultValuesConvertIntoTheVideosFolder) {
    std::string myVideos = UsersVideosFolder();
    ASSERT_FALSE(myVideos.empty());
    ASSERT_TRUE(e2e::DirectoryExists(myVideos));
    StartProgram();
    std::string target = JoinPath(myVideos, "M4V30000.MP4");
    EXPECT_EQ(AddAndConvert(), ExpectedCommandLine(target));
    EXPECT_EQ(Rows().at(0), (Texts{JoinPath(videos_, "a.mp4"), target, "完成"}));

    // Closing writes what the first start chose; the next start reads it.
    CloseProgram();
    EXPECT_EQ(e2e::ReadIni(ConfigIni(), "Settings", "VideoQuality"), "450");
    EXPECT_EQ(e2e::ReadIni(ConfigIni(), "Settings", "PspNumber"), "30000");
    EXPECT_EQ(e2e::ReadIni(ConfigIni(), "Settings", "Output"), myVideos);
}

TEST_F(FirstStart, AnExistingConfigWithMissingKeysStillReadsZero) {
    WriteConfig("[Settings]\r\nVideoQuality=300\r\n");
    StartProgram();
    AddFiles(videos_, {"a.mp4"});
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 1; }));
    EXPECT_EQ(Rows().at(0).at(1), "0\\M4V0.MP4");
    CloseProgram();
    EXPECT_EQ(e2e::ReadIni(ConfigIni(), "Settings", "Volume"), "0");
    EXPECT_EQ(e2e::ReadIni(ConfigIni(), "Settings", "VideoQuality"), "300");
}

TEST_F(FirstStart, APspDriveTakesTheVideosFolderOnItsMemoryStick) {
    const char* letter = std::getenv("VQ_E2E_PSP_DRIVE");
    if (!letter) GTEST_SKIP() << "run by first_start.sh, which maps the PSP drive";
    std::string root = std::string(letter) + ":\\";
    ASSERT_TRUE(e2e::DirectoryExists(root + "PSP")) << "the fake PSP drive is not mapped";
    ASSERT_FALSE(e2e::DirectoryExists(root + "MP_ROOT"));

    StartProgram();
    std::string folder = root + "MP_ROOT\\100MNV01";
    EXPECT_TRUE(e2e::DirectoryExists(folder)) << "the folders were not created at start";
    std::string target = JoinPath(folder, "M4V30000.MP4");
    EXPECT_EQ(AddAndConvert(), ExpectedCommandLine(target));
    EXPECT_EQ(Rows().at(0).at(1), target);
}

}  // namespace
