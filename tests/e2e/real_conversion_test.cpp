// One real conversion: the program with the project's own encoder (trancor)
// converts a short AVI with a Chinese name into a Chinese-named output
// folder. Run by real_conversion.sh, which makes the AVI first and checks
// the MP4 with ffprobe afterwards; the encoder and the AVI come in through
// VQ_E2E_TRANCOR and VQ_E2E_SAMPLE.
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

}  // namespace
