#include <gtest/gtest.h>

#include "encoder_command.h"

namespace {

ConversionSettings DefaultButtonSettings() {
    ConversionSettings s;
    s.Resolution = 0;
    s.Framerate = 1;
    s.Channels = 1;
    s.VideoQuality = 450;
    s.AudioQuality = 48;
    s.Volume = 100;
    return s;
}

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

}  // namespace
