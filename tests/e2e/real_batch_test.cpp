// Three clips of about 90 s converted by the program with the project's own
// encoder (trancor), the progress window watched while each encoder runs: the
// bar must follow the encoder's reports, and a screenshot is taken mid-file.
// Run by real_batch.sh, which makes the clips; the encoder and the clips'
// folder come in through VQ_E2E_TRANCOR and VQ_E2E_CLIPS.
#include <windows.h>

#include <cstdlib>

#include "batch_watch.h"
#include "scenario.h"

namespace {

std::string FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value ? e2e::WindowsPath(value) : std::string();
}

using RealBatch = ProgramScenario;

TEST_F(RealBatch, TheBarRisesWhileEachOfThreeClipsConverts) {
    const std::string trancor = FromEnvironment("VQ_E2E_TRANCOR");
    const std::string clips = FromEnvironment("VQ_E2E_CLIPS");
    const std::vector<std::string> names{"clip1.avi", "clip2.avi", "clip3.avi"};
    ASSERT_TRUE(e2e::FileExists(trancor)) << "no encoder at '" << trancor << "'";
    for (const std::string& name : names) ASSERT_TRUE(e2e::FileExists(e2e::JoinPath(clips, name))) << name;
    e2e::InstallEncoderForProgram(trancor);
    const std::string out = InFolder("out");
    e2e::MakeEmptyFolder(out);
    WriteConfig("[Settings]\r\nResolution=0\r\nFramerate=1\r\nChannels=1\r\nVideoQuality=450\r\n"
                "AudioQuality=48\r\nVolume=100\r\nPspNumber=30000\r\nOutput=" + out + "\r\n");

    StartProgram();
    AddFiles(clips, names);
    ASSERT_TRUE(e2e::WaitUntil([&] { return e2e::ListRowCount(List()) == 3; }));
    e2e::Click(Button(IDC_START));
    std::vector<bool> shot(3, false);
    const e2e::BatchWatch watch = e2e::WatchBatch(Pid(), List(), 3, "trancor.exe", [&](int row, int bar) {
        // Mid-file: past half of the bar while the encoder still runs.
        if (!shot[static_cast<size_t>(row)] && bar >= 1000) {
            shot[static_cast<size_t>(row)] = true;
            Screenshot("file" + std::to_string(row + 1));
        }
    }, 300000);
    ASSERT_NE(watch.endMessage.window, nullptr) << "no end message";
    EXPECT_EQ(watch.endMessage.text, "已完成");
    EXPECT_EQ(Column(2), (std::vector<std::string>{"完成", "完成", "完成"}));
    for (int row = 0; row < 3; ++row)
        EXPECT_GE(watch.highestBar[static_cast<size_t>(row)], 1000)
            << "file " << row + 1 << ": the bar stood at " << watch.highestBar[static_cast<size_t>(row)]
            << " at most while its encoder ran";
    ASSERT_TRUE(e2e::PressOk(watch.endMessage));
    for (int number : {30000, 30001, 30002})
        EXPECT_TRUE(e2e::FileExists(e2e::JoinPath(out, "M4V" + std::to_string(number) + ".MP4"))) << number;
}

}  // namespace
