// The room check before a batch: which drives are short, what the question
// says, and that each source's length is asked of the encoder only once.
#include <gtest/gtest.h>

#include <map>

#include "codepage.h"
#include "size_estimate.h"

namespace {

constexpr uint64_t kMB = 1024 * 1024;
constexpr uint64_t kGB = 1024 * kMB;

class FakeProbe final : public LengthProbe {
public:
    std::vector<int64_t> Lengths(const std::vector<std::string>& sources) override {
        std::vector<int64_t> lengths;
        for (const std::string& source : sources) {
            asked.push_back(source);
            auto found = seconds.find(source);
            lengths.push_back(found == seconds.end() ? -1 : found->second * 1000000);
        }
        return lengths;
    }
    std::map<std::string, int64_t> seconds;
    std::vector<std::string> asked;
};

class FakeDisks final : public DiskSpace {
public:
    bool VolumeOf(const std::string& folder, std::string& volume) override {
        if (folder.size() < 3 || folder[1] != ':') return false;  // a drive that cannot be asked
        volume = folder.substr(0, 3);
        return true;
    }
    bool FreeBytes(const std::string& volume, uint64_t& bytes) override {
        bytes = free.at(volume);
        return true;
    }
    std::map<std::string, uint64_t> free;
};

}  // namespace

TEST(RoomCheck, AsksForEachShortDriveWithItsOwnRowsAndAsksEachSourceLengthOnce) {
    ConversionSettings settings = DefaultSettings();
    settings.VideoQuality = 768;
    settings.AudioQuality = 64;  // 104,000 bytes a second of streams
    JobList jobs;
    jobs.AddJob("D:\\v\\long.avi", "E:\\PSP\\VIDEO");
    jobs.AddJob("D:\\v\\long.avi", "E:\\PSP\\VIDEO");  // the same source twice
    jobs.AddJob("D:\\v\\short.avi", "F:\\");
    jobs.AddJob("D:\\v\\unknown.avi", "E:\\PSP\\VIDEO");
    jobs.AddJob("D:\\v\\short.avi", "\\\\server\\share");
    FakeProbe probe;
    probe.seconds = {{"D:\\v\\long.avi", 6000}, {"D:\\v\\short.avi", 600}};
    FakeDisks disks;
    disks.free = {{"E:\\", 800 * kMB}, {"F:\\", 70 * kMB}};
    LengthCache lengths;

    const int64_t longBytes = EstimatedOutputBytes(6000 * 1000000LL, settings);
    const int64_t shortBytes = EstimatedOutputBytes(600 * 1000000LL, settings);
    EXPECT_NEAR(longBytes, 6000 * 104000 * (1 + kContainerShare) + kThumbnailBytes, 1);
    EXPECT_EQ(EstimatedOutputBytes(-1, settings), -1);

    // E: needs two long rows (about 1.2 GB) with 800 MB free; F: one short
    // row (60 MB) with 70 MB free fits; the share cannot be asked.
    const std::vector<std::string> questions = RoomQuestions(jobs, settings, lengths, probe, disks);
    EXPECT_EQ(questions, (std::vector<std::string>{SpaceShortText(2 * longBytes, 800 * kMB)}));
    EXPECT_EQ(SystemToUtf8(questions.at(0)), "目标磁盘空间不足：这批文件预计需要 1.2 GB，可用 0.8 GB。仍要开始吗？");
    EXPECT_EQ(probe.asked, (std::vector<std::string>{"D:\\v\\long.avi", "D:\\v\\short.avi", "D:\\v\\unknown.avi"}));

    // A second Start asks the encoder only about what it could not tell.
    disks.free["F:\\"] = 50 * kMB;
    probe.asked.clear();
    const std::vector<std::string> again = RoomQuestions(jobs, settings, lengths, probe, disks);
    EXPECT_EQ(probe.asked, (std::vector<std::string>{"D:\\v\\unknown.avi"}));
    ASSERT_EQ(again.size(), 2u);
    EXPECT_EQ(again[1], SpaceShortText(shortBytes, 50 * kMB));
    EXPECT_EQ(SystemToUtf8(again[1]), "目标磁盘空间不足：这批文件预计需要 60 MB，可用 50 MB。仍要开始吗？");
    // Below 1 GB on both sides: whole MB; the larger side decides the unit.
    EXPECT_EQ(SystemToUtf8(SpaceLeftText(1288490189)), "目标磁盘可用 1.2 GB");
    EXPECT_EQ(SystemToUtf8(SpaceLeftText(820 * kMB)), "目标磁盘可用 820 MB");
    EXPECT_NE(SystemToUtf8(SpaceShortText(1 * kGB, 300 * kMB)).find("需要 1.0 GB，可用 0.3 GB。"), std::string::npos);
}

TEST(RoomCheck, ProbeOutputOneLengthPerLineAndAnythingElseUnknown) {
    EXPECT_EQ(ParseProbeOutput("60029388\r\n-1\r\nabc\r\n12", 5),
              (std::vector<int64_t>{60029388, -1, -1, 12, -1}));
    EXPECT_EQ(ParseProbeOutput("", 2), (std::vector<int64_t>{-1, -1}));
}
