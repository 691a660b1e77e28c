// The size estimate against what trancor really writes: the benchmark's two
// clips (bench/encoder-bench), cut to 10 seconds, at the settings dialog's
// defaults and at a higher rate, each length as "trancor -probe" tells it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "size_estimate.h"

namespace fs = std::filesystem;

namespace {

std::string Quoted(const fs::path& path) { return "'" + path.string() + "'"; }

int Shell(const std::string& command) { return std::system((command + " >/dev/null 2>&1").c_str()); }

std::string Output(const std::string& command) {
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return text;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe)) text += buffer;
    pclose(pipe);
    return text;
}

class RealSizes : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = fs::temp_directory_path() / ("vq-size-estimate-" + std::to_string(getpid()));
        fs::create_directories(folder_);
    }
    static void TearDownTestSuite() { fs::remove_all(folder_); }
    static fs::path folder_;
};
fs::path RealSizes::folder_;

}  // namespace

TEST_F(RealSizes, EstimateIsWithinFivePercentOfTheBenchmarkClipsOutputs) {
    const struct {
        const char* name;
        const char* picture;
    } clips[] = {{"busy", "mandelbrot=size=640x480:rate=30000/1001"}, {"calm", "testsrc2=size=640x480:rate=30000/1001"}};
    const struct {
        int video, audio;
    } rates[] = {{450, 48}, {768, 64}};
    for (const auto& clip : clips) {
        const fs::path source = folder_ / (std::string(clip.name) + ".avi");
        ASSERT_EQ(Shell("ffmpeg -v error -nostdin -y -f lavfi -i " + std::string(clip.picture) +
                        " -f lavfi -i sine=frequency=330:sample_rate=44100:beep_factor=3 -t 10 -c:v mpeg4"
                        " -b:v 1500k -c:a libmp3lame -b:a 128k -ac 2 " + Quoted(source)),
                  0);
        const std::vector<int64_t> lengths =
            ParseProbeOutput(Output(std::string(TRANCOR_PATH) + " -probe " + Quoted(source)), 1);
        ASSERT_GT(lengths[0], 9000000) << clip.name;
        for (const auto& rate : rates) {
            ConversionSettings settings = DefaultSettings();
            settings.VideoQuality = rate.video;
            settings.AudioQuality = rate.audio;
            const fs::path target = folder_ / "M4V30000.MP4", thumbnail = folder_ / "M4V30000.THM";
            ASSERT_EQ(Shell(std::string(TRANCOR_PATH) + " -i " + Quoted(source) +
                            " -s 320x240 -r 29.97 -ac 2 -b " + std::to_string(rate.video) + " -ab " +
                            std::to_string(rate.audio) + " -vol 100 -title t -ar 24000 -acodec aac -f psp -y " +
                            Quoted(target)),
                      0);
            const double real = static_cast<double>(fs::file_size(target) + fs::file_size(thumbnail));
            const double estimate = static_cast<double>(EstimatedOutputBytes(lengths[0], settings));
            EXPECT_NEAR(estimate / real, 1.0, 0.05) << clip.name << " at " << rate.video << "+" << rate.audio
                                                    << " kbit/s: estimate " << estimate << ", real " << real;
            std::printf("%s %d+%d kbit/s: estimate %.0f, real %.0f (%+.2f %%)\n", clip.name, rate.video, rate.audio,
                        estimate, real, (estimate / real - 1) * 100);
        }
    }
}
