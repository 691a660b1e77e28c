// The released program as a user gets it, run by package.sh under Wine in a
// prefix of its own whose system folder holds no encoder: unpacked from the
// zip into a folder whose name has a space and Chinese text (the folder in
// VQ_PACKAGE_UNPACKED), and installed by the installer into the user's
// %LOCALAPPDATA%\Programs\Vidquill. The clip comes in through VQ_E2E_SAMPLE.
#include <windows.h>
#include <shlobj.h>

#include "scenario.h"

namespace {

using Texts = std::vector<std::string>;

std::string ShellFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return e2e::WideToUtf8(path);
}

class Package : public ProgramScenario {
protected:
    // The first start in package.sh's new prefix waits for Wine to set up
    // its fonts: at times more than ten seconds.
    Package() { startWaitMs_ = 60000; }

    static std::string Unpacked() { return e2e::PathFromEnvironment(L"VQ_PACKAGE_UNPACKED"); }
    static std::string Installed() {
        return e2e::JoinPath(ShellFolder(CSIDL_LOCAL_APPDATA), "Programs\\Vidquill\\Vidquill.exe");
    }

    // The sample as 假期.avi through the open dialog, converted by the batch;
    // the row ends "完成" and `target` is the PSP's MP4.
    void ConvertSample(const std::string& target) {
        const std::string sample = e2e::PathFromEnvironment(L"VQ_E2E_SAMPLE");
        ASSERT_TRUE(e2e::FileExists(sample)) << "no sample video at '" << sample << "'";
        const std::string videos = InFolder("视频");
        e2e::MakeEmptyFolder(videos);
        e2e::CopyOrThrow(sample, e2e::JoinPath(videos, "假期.avi"));
        AddFiles(videos, {"假期.avi"});
        ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 1; }));
        ASSERT_NO_FATAL_FAILURE(StartAndConfirmTheEnd("已完成", Texts{"完成"}, 240000, "converted"));
        EXPECT_TRUE(e2e::FileExists(target)) << target;
        EXPECT_EQ(e2e::ReadFileStart(target, 12).substr(4), "ftypMSNV") << target;
    }
};

TEST_F(Package, UnpackedWithoutItsEncoderEachRowSaysWhereItLooked) {
    // The packaged program alone in a folder (package.sh keeps the system folder free of encoders).
    e2e::CopyOrThrow(e2e::JoinPath(Unpacked(), "Vidquill.exe"), InFolder("Vidquill.exe"));
    MakeFiles(InFolder("视频"), {"a.avi", "b.avi"});
    StartProgram();
    AddFiles(InFolder("视频"), {"a.avi", "b.avi"});
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 2; }));
    ASSERT_NO_FATAL_FAILURE(StartAndConfirmTheEnd("已完成\n2 个文件转换失败", Texts{"失败", "失败"}, 60000));
    ASSERT_NO_FATAL_FAILURE(CloseProgressWindow());

    // The tip gives the row's paths, then its reason on the last line.
    const std::string expected = "\n找不到编码器 trancor.exe，已查找：" + e2e::JoinPath(e2e::SystemFolder(), "trancor.exe") +
                                 "；" + InFolder("trancor.exe");
    EXPECT_TRUE(TipOnStatus(1, [&](const std::string& tip) {
        return tip.size() > expected.size() && tip.compare(tip.size() - expected.size(), expected.size(), expected) == 0;
    }));
    Screenshot("encoder-missing");
}

TEST_F(Package, UnpackedConvertsWithTheEncoderBesideIt) {
    const std::string exe = e2e::JoinPath(Unpacked(), "Vidquill.exe");
    ASSERT_TRUE(e2e::FileExists(exe)) << exe;
    const std::string out = InFolder("输出");
    e2e::MakeEmptyFolder(out);
    e2e::WriteTextFile(e2e::JoinPath(Unpacked(), "Config.ini"),
                       "[Settings]\r\nResolution=0\r\nFramerate=1\r\nChannels=1\r\nVideoQuality=450\r\n"
                       "AudioQuality=48\r\nVolume=100\r\nPspNumber=30000\r\nOutput=" + out + "\r\n");
    StartProgramAt(exe);
    ConvertSample(e2e::JoinPath(out, "M4V30000.MP4"));
    CloseProgram();
}

TEST_F(Package, InstalledConvertsAndKeepsItsSettingsBesideIt) {
    const std::string exe = Installed();
    ASSERT_TRUE(e2e::FileExists(exe)) << exe;
    const std::string config = e2e::JoinPath(exe.substr(0, exe.find_last_of('\\')), "Config.ini");
    ASSERT_FALSE(e2e::FileExists(config)) << "a fresh installation has no settings yet";
    // A first start without a PSP writes into the user's Videos folder.
    const std::string target = e2e::JoinPath(ShellFolder(CSIDL_MYVIDEO), "M4V30000.MP4");
    ASSERT_FALSE(e2e::FileExists(target)) << target;
    StartProgramAt(exe);
    ConvertSample(target);
    CloseProgram();
    EXPECT_EQ(e2e::ReadIni(config, "Settings", "Output"), ShellFolder(CSIDL_MYVIDEO));
    EXPECT_EQ(e2e::ReadIni(config, "Settings", "VideoQuality"), "450");
}

}  // namespace
