// Real conversions: the program with the project's own encoder (trancor)
// converts a short AVI with a Chinese name into a Chinese-named output
// folder, once as designed and once in H.264 with bars onto a PSP's memory
// stick. Run by real_conversion.sh (once for each), which makes the AVI
// first and checks the MP4 with ffprobe afterwards; the encoder and the AVI
// come in through VQ_E2E_TRANCOR and VQ_E2E_SAMPLE.
#include <windows.h>


#include "scenario.h"

namespace {

class RealConversion : public ProgramScenario {
protected:
    // The encoder installed for the program and the sample as 视频\假期.avi.
    void SetUp() override {
        ProgramScenario::SetUp();
        const std::string trancor = e2e::PathFromEnvironment(L"VQ_E2E_TRANCOR");
        const std::string sample = e2e::PathFromEnvironment(L"VQ_E2E_SAMPLE");
        ASSERT_TRUE(e2e::FileExists(trancor)) << "no encoder at '" << trancor << "'";
        ASSERT_TRUE(e2e::FileExists(sample)) << "no sample video at '" << sample << "'";
        e2e::InstallEncoderForProgram(trancor);
        videos_ = InFolder("视频");
        e2e::MakeEmptyFolder(videos_);
        e2e::CopyOrThrow(sample, e2e::JoinPath(videos_, "假期.avi"));
    }
    // Starts the program with the sample as its one row.
    void StartWithTheSample() {
        StartProgram();
        AddFiles(videos_, {"假期.avi"});
        ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 1; }));
    }
    // A whole MP4 of the PSP's brand at `target`: no part file left, the
    // "ftyp" box first with major brand "MSNV".
    static void ExpectPspMp4(const std::string& target) {
        ASSERT_TRUE(e2e::FileExists(target)) << target;
        EXPECT_GT(e2e::FileSize(target), 20000u);
        EXPECT_FALSE(e2e::FileExists(target + ".part"));
        EXPECT_EQ(e2e::ReadFileStart(target, 12).substr(4, 8), "ftypMSNV");
    }

    std::string videos_;
};

TEST_F(RealConversion, ProducesAPspMp4) {
    const std::string out = InFolder("输出");
    e2e::MakeEmptyFolder(out);
    WriteConfig("[Settings]\r\nResolution=0\r\nFramerate=1\r\nChannels=1\r\nVideoQuality=450\r\n"
                "AudioQuality=48\r\nVolume=100\r\nPspNumber=30000\r\nOutput=" + out + "\r\n");
    ASSERT_NO_FATAL_FAILURE(StartWithTheSample());
    ASSERT_NO_FATAL_FAILURE(StartAndConfirmTheEnd("已完成", {"完成"}, 240000, "converted"));
    ExpectPspMp4(e2e::JoinPath(out, "M4V30000.MP4"));
}

// A 4:3 clip in H.264 with its shape kept, written for a memory stick's
// MPEG-4 folder: the program names it MAQ30000.MP4 in the H.264 folder
// beside it, which Start creates.
TEST_F(RealConversion, H264WithBarsIntoThePspsH264Folder) {
    const std::string stick = InFolder("记忆棒");
    const std::string mpeg4 = e2e::JoinPath(stick, "MP_ROOT\\100MNV01");
    const std::string h264 = e2e::JoinPath(stick, "MP_ROOT\\100ANV01");
    e2e::MakeEmptyFolder(stick);
    e2e::MakeEmptyFolder(e2e::JoinPath(stick, "MP_ROOT"));
    e2e::MakeEmptyFolder(mpeg4);
    // The frame-size list says 368x208; H.264 uses the full screen whatever it says.
    WriteConfig("[Settings]\r\nResolution=1\r\nFramerate=1\r\nChannels=1\r\nVideoQuality=450\r\n"
                "AudioQuality=48\r\nVolume=100\r\nPspNumber=30000\r\nAspectMode=1\r\nVideoFormat=1\r\n"
                "TitleFromName=1\r\nSubtitles=0\r\nOutput=" + mpeg4 + "\r\n");
    ASSERT_NO_FATAL_FAILURE(StartWithTheSample());
    const std::string target = e2e::JoinPath(h264, "MAQ30000.MP4");
    EXPECT_EQ(Column(1), std::vector<std::string>{target});
    EXPECT_FALSE(e2e::DirectoryExists(h264)) << "created at Start, not before";
    ASSERT_NO_FATAL_FAILURE(StartAndConfirmTheEnd("已完成", {"完成"}, 240000, "converted"));
    ExpectPspMp4(target);
    EXPECT_TRUE(e2e::FileExists(e2e::JoinPath(h264, "MAQ30000.THM")));
}

}  // namespace
