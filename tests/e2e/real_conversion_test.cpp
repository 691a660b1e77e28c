// Real conversions: the program with the project's own encoder (trancor)
// converts a short AVI with a Chinese name into a Chinese-named output
// folder, once as designed and once in H.264 with bars onto a PSP's memory
// stick. Run by real_conversion.sh and real_conversion_h264.sh, which make
// the AVI first and check the MP4 with ffprobe afterwards; the encoder and
// the AVI come in through VQ_E2E_TRANCOR and VQ_E2E_SAMPLE.
#include <windows.h>

#include <cstdlib>

#include "scenario.h"

namespace {

std::string FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value ? e2e::WindowsPath(value) : std::string();
}

using RealConversion = ProgramScenario;

TEST_F(RealConversion, ProducesAPspMp4) {
    std::string trancor = FromEnvironment("VQ_E2E_TRANCOR");
    std::string sample = FromEnvironment("VQ_E2E_SAMPLE");
    ASSERT_TRUE(e2e::FileExists(trancor)) << "no encoder at '" << trancor << "'";
    ASSERT_TRUE(e2e::FileExists(sample)) << "no sample video at '" << sample << "'";
    e2e::InstallEncoderForProgram(trancor);

    std::string videos = InFolder("视频");
    std::string out = InFolder("输出");
    e2e::MakeEmptyFolder(videos);
    e2e::MakeEmptyFolder(out);
    e2e::CopyOrThrow(sample, e2e::JoinPath(videos, "假期.avi"));
    WriteConfig("[Settings]\r\nResolution=0\r\nFramerate=1\r\nChannels=1\r\nVideoQuality=450\r\n"
                "AudioQuality=48\r\nVolume=100\r\nPspNumber=30000\r\nOutput=" + out + "\r\n");

    StartProgram();
    AddFiles(videos, {"假期.avi"});
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 1; }));
    e2e::Click(Button(IDC_START));
    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(Pid(), 240000);
    ASSERT_NE(box.window, nullptr) << "no end message";
    EXPECT_EQ(box.text, "已完成");
    EXPECT_EQ(Column(2), std::vector<std::string>{"完成"});
    Screenshot("converted");
    ASSERT_TRUE(e2e::PressOk(box));

    std::string target = e2e::JoinPath(out, "M4V30000.MP4");
    ASSERT_TRUE(e2e::FileExists(target));
    EXPECT_GT(e2e::FileSize(target), 20000u);
    EXPECT_FALSE(e2e::FileExists(target + ".part"));
    // An MP4 of the PSP's brand: "ftyp" box first, major brand "MSNV".
    std::string head = e2e::ReadFileStart(target, 12);
    EXPECT_EQ(head.substr(4, 8), "ftypMSNV");
}

// A 4:3 clip in H.264 with its shape kept, written for a memory stick's
// MPEG-4 folder: the program names it MAQ30000.MP4 in the H.264 folder
// beside it, which Start creates.
TEST_F(RealConversion, H264WithBarsIntoThePspsH264Folder) {
    std::string trancor = FromEnvironment("VQ_E2E_TRANCOR");
    std::string sample = FromEnvironment("VQ_E2E_SAMPLE");
    ASSERT_TRUE(e2e::FileExists(trancor)) << "no encoder at '" << trancor << "'";
    ASSERT_TRUE(e2e::FileExists(sample)) << "no sample video at '" << sample << "'";
    e2e::InstallEncoderForProgram(trancor);

    std::string videos = InFolder("视频");
    std::string stick = InFolder("记忆棒");
    std::string mpeg4 = e2e::JoinPath(stick, "MP_ROOT\\100MNV01");
    std::string h264 = e2e::JoinPath(stick, "MP_ROOT\\100ANV01");
    e2e::MakeEmptyFolder(videos);
    e2e::MakeEmptyFolder(stick);
    e2e::MakeEmptyFolder(e2e::JoinPath(stick, "MP_ROOT"));
    e2e::MakeEmptyFolder(mpeg4);
    e2e::CopyOrThrow(sample, e2e::JoinPath(videos, "假期.avi"));
    // The frame-size list says 368x208; H.264 uses the full screen whatever it says.
    WriteConfig("[Settings]\r\nResolution=1\r\nFramerate=1\r\nChannels=1\r\nVideoQuality=450\r\n"
                "AudioQuality=48\r\nVolume=100\r\nPspNumber=30000\r\nAspectMode=1\r\nVideoFormat=1\r\n"
                "TitleFromName=1\r\nSubtitles=0\r\nOutput=" + mpeg4 + "\r\n");

    StartProgram();
    AddFiles(videos, {"假期.avi"});
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 1; }));
    const std::string target = e2e::JoinPath(h264, "MAQ30000.MP4");
    EXPECT_EQ(Column(1), std::vector<std::string>{target});
    EXPECT_FALSE(e2e::DirectoryExists(h264)) << "created at Start, not before";
    e2e::Click(Button(IDC_START));
    e2e::MessageBoxInfo box = e2e::WaitForMessageBox(Pid(), 240000);
    ASSERT_NE(box.window, nullptr) << "no end message";
    EXPECT_EQ(box.text, "已完成");
    EXPECT_EQ(Column(2), std::vector<std::string>{"完成"});
    ASSERT_TRUE(e2e::PressOk(box));

    ASSERT_TRUE(e2e::FileExists(target));
    EXPECT_GT(e2e::FileSize(target), 20000u);
    EXPECT_TRUE(e2e::FileExists(e2e::JoinPath(h264, "MAQ30000.THM")));
    EXPECT_EQ(e2e::ReadFileStart(target, 12).substr(4, 8), "ftypMSNV");
}

}  // namespace
