#include <gtest/gtest.h>

#include "codepage.h"
#include "encoder_command.h"

namespace {

// 320x240, 29.97 frames/s, stereo, 450 and 48 kbit/s, volume 100.
ConversionSettings DefaultButtonSettings() { return {0, 1, 1, 450, 48, 100, kDefaultFirstNumber, ""}; }

const char kSystem[] = "C:\\WINDOWS\\system32\\trancor.exe";

TEST(EncoderCommand, WorkedExampleByteForByte) {
    ConversionJob job{"D:\\v\\a.avi", "E:\\M4V30000.MP4", "", ""};
    EXPECT_EQ(BuildEncoderCommand(job, DefaultButtonSettings(), kSystem),
              "C:\\WINDOWS\\system32\\trancor.exe -i \"D:\\v\\a.avi\"  -s 320x240  -r 29.97  -ac 2"
              "  -b 450  -ab 48  -vol 100  -title \"pelmora\"  -ar 24000  -acodec aac  -f psp"
              " -y \"E:\\M4V30000.MP4\"");
}

TEST(EncoderCommand, OutOfTableIndexesLeaveOptionsEmpty) {
    ConversionSettings s = DefaultButtonSettings();
    s.Resolution = 3;
    s.Framerate = -1;
    s.Channels = 2;
    std::string cmd = BuildEncoderCommand({"a", "b", "", ""}, s, "enc");
    EXPECT_NE(cmd.find(" -s   -r   -ac   -b 450 "), std::string::npos) << cmd;
}

TEST(EncoderCommand, NumbersZeroNegativeAndEmptyTarget) {
    ConversionSettings s = DefaultButtonSettings();
    s.VideoQuality = 0;
    s.Volume = -5;
    s.AudioQuality = INT32_MIN;
    std::string cmd = BuildEncoderCommand({"D:\\my videos\\x \"q\".avi", "", "", ""}, s, "C:\\a b\\enc.exe");
    EXPECT_NE(cmd.find("  -b 0  "), std::string::npos) << cmd;
    EXPECT_NE(cmd.find("  -vol -5  "), std::string::npos) << cmd;
    EXPECT_NE(cmd.find("  -ab -2147483648  "), std::string::npos) << cmd;
    // An encoder path with a space is quoted so that it stays one program
    // name; the source goes through unescaped.
    EXPECT_EQ(cmd.rfind("\"C:\\a b\\enc.exe\" -i \"D:\\my videos\\x \"q\".avi\"  -s ", 0), 0u) << cmd;
    EXPECT_EQ(cmd.substr(cmd.size() - 9), "psp -y \"\"");
}

TEST(EncoderCommand, ReadsTheSettingsAtEachCall) {
    ConversionSettings s = DefaultButtonSettings();
    ConversionJob job{"s", "t", "", ""};
    std::string before = BuildEncoderCommand(job, s, "e");
    s.Framerate = 0;
    std::string after = BuildEncoderCommand(job, s, "e");
    EXPECT_NE(before.find("-r 29.97 "), std::string::npos);
    EXPECT_NE(after.find("-r 14.985 "), std::string::npos);
}

// The later settings: their pieces stand between the -s value and -r, each
// with two spaces before it; at 0 (or any value outside their lists) the line
// is the worked example's.
TEST(EncoderCommand, LaterSettingsFollowTheFrameSizeInTheSameRhythm) {
    struct Case {
        int32_t aspect, format, subtitles, audioTrack;
        const char* afterS;  // from the -s value to the two spaces before -r
    };
    const Case cases[] = {
        {0, 0, 0, 0, "320x240"},
        {1, 0, 0, 0, "320x240  -fit pad"},
        {2, 0, 0, 0, "320x240  -fit crop"},
        {0, 0, 1, 0, "320x240  -sub auto"},
        {0, 1, 0, 0, "480x272  -vcodec h264"},
        {1, 1, 0, 0, "480x272  -vcodec h264  -fit pad"},
        {2, 1, 1, 0, "480x272  -vcodec h264  -fit crop  -sub auto"},
        {1, 0, 1, 0, "320x240  -fit pad  -sub auto"},
        {0, 0, 0, 1, "320x240  -alang chi"},
        {0, 0, 1, 1, "320x240  -sub auto  -alang chi"},
        {2, 1, 1, 1, "480x272  -vcodec h264  -fit crop  -sub auto  -alang chi"},
        {3, 2, 2, 2, "320x240"},
        {-1, -1, -1, -1, "320x240"},
    };
    for (const Case& c : cases) {
        ConversionSettings s = DefaultButtonSettings();
        s.AspectMode = c.aspect;
        s.VideoFormat = c.format;
        s.Subtitles = c.subtitles;
        s.AudioTrack = c.audioTrack;
        s.Simultaneous = 3;  // how many rows run at once changes no row's line
        s.Resolution = c.format == 1 ? 2 : 0;  // H.264 ignores the frame-size list
        EXPECT_EQ(BuildEncoderCommand({"D:\\v\\a.avi", "E:\\M4V30000.MP4", "", ""}, s, kSystem),
                  std::string("C:\\WINDOWS\\system32\\trancor.exe -i \"D:\\v\\a.avi\"  -s ") + c.afterS +
                      "  -r 29.97  -ac 2  -b 450  -ab 48  -vol 100  -title \"pelmora\"  -ar 24000  -acodec aac"
                      "  -f psp -y \"E:\\M4V30000.MP4\"")
            << c.aspect << " " << c.format << " " << c.subtitles << " " << c.audioTrack;
    }
}

TEST(EncoderCommand, TitleFromTheSourcesNameWithoutFolderAndExtension) {
    ConversionSettings s = DefaultButtonSettings();
    auto title = [&](const std::string& source) {
        std::string cmd = BuildEncoderCommand({source, "t", "", ""}, s, "e");
        size_t from = cmd.find("  -title \"") + 10, to = cmd.find("\"  -ar 24000 ");
        return cmd.substr(from, to - from);
    };
    s.TitleFromName = 1;
    EXPECT_EQ(title("D:\\v\\a.avi"), "a");
    EXPECT_EQ(title("D:\\v\\my film.2024.mkv"), "my film.2024");
    EXPECT_EQ(title("D:\\v.x\\noext"), "noext");
    EXPECT_EQ(title("D:\\v\\.avi"), ".avi");
    EXPECT_EQ(title("D:\\V\\MOVIE~1.MP4"), "MOVIE~1");  // added under its 8.3 name
    // "誠" ends in a backslash byte in code page 936: it stays in the title.
    EXPECT_EQ(title(SysText("D:\\影片\\电影誠.avi")), SysText("电影誠"));
    EXPECT_EQ(title("D:\\v\\"), "pelmora");  // nothing to name it by
    s.TitleFromName = 0;
    EXPECT_EQ(title("D:\\v\\a.avi"), "pelmora");
    s.TitleFromName = 2;
    EXPECT_EQ(title("D:\\v\\a.avi"), "pelmora");
}

}  // namespace
