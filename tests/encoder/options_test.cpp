// The encoder's command line: the old ffmpeg units the program relies on,
// and refusal of anything the program could pass by mistake.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "failure.h"
#include "options.h"

namespace {

using Args = std::vector<std::string>;

// The program's own command line with the settings dialog's defaults.
Args ProgramLine() {
    return {"-i", "D:\\v\\a.avi", "-s", "320x240", "-r", "29.97", "-ac", "2", "-b", "450", "-ab", "48",
            "-vol", "100", "-title", "pelmora", "-ar", "24000", "-acodec", "aac", "-f", "psp",
            "-y", "E:\\M4V30000.MP4"};
}

Args With(const std::string& option, const std::string& value) {
    Args args = ProgramLine();
    for (size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == option) args[i + 1] = value;
    return args;
}

// The refusal's text, or "" when the line was accepted.
std::string Refusal(const Args& args) {
    try {
        ParseCommandLine(args);
    } catch (const UsageError& e) {
        return e.what();
    }
    return "";
}

TEST(EncoderCommandLine, ProgramLineUsesOldUnits) {
    const EncodeOptions o = ParseCommandLine(ProgramLine()).options;
    EXPECT_EQ(o.input, "D:\\v\\a.avi");
    EXPECT_EQ(o.output, "E:\\M4V30000.MP4");
    EXPECT_EQ(o.width, 320);
    EXPECT_EQ(o.height, 240);
    EXPECT_EQ(o.frame_rate.num, 30000);
    EXPECT_EQ(o.frame_rate.den, 1001);
    EXPECT_EQ(o.channels, 2);
    EXPECT_EQ(o.video_bit_rate, 450000);  // kbit/s, not bit/s
    EXPECT_EQ(o.audio_bit_rate, 48000);
    EXPECT_EQ(o.volume_percent, 100);
    EXPECT_EQ(o.title, "pelmora");
    EXPECT_EQ(o.sample_rate, 24000);
    EXPECT_EQ(o.log_level, "quiet");  // FFmpeg says nothing unless asked
}

TEST(EncoderCommandLine, OptionsInAnyOrder) {
    const EncodeOptions o =
        ParseCommandLine({"-y", "out.mp4", "-ab", "32", "-s", "368x208", "-i", "in.avi", "-ac", "1"}).options;
    EXPECT_EQ(o.input, "in.avi");
    EXPECT_EQ(o.output, "out.mp4");
    EXPECT_EQ(o.width, 368);
    EXPECT_EQ(o.height, 208);
    EXPECT_EQ(o.audio_bit_rate, 32000);
    EXPECT_EQ(o.channels, 1);
    EXPECT_EQ(o.video_bit_rate, 450000);  // not given: the default
    EXPECT_EQ(ParseCommandLine({"-v", "debug", "-i", "in.avi", "-y", "out.mp4"}).options.log_level, "debug");
}

TEST(EncoderCommandLine, FrameRatesMeanNtscFractions) {
    struct Case {
        const char* text;
        int num, den;
    } cases[] = {{"29.97", 30000, 1001}, {"14.985", 15000, 1001}, {"23.976", 24000, 1001},
                 {"59.94", 60000, 1001}, {"25", 25, 1},            {"30", 30, 1},
                 {"15", 15, 1},          {"12.5", 25, 2},          {"29.970", 30000, 1001}};
    for (const Case& c : cases) {
        Rational r;
        ASSERT_TRUE(ParseFrameRate(c.text, &r)) << c.text;
        EXPECT_EQ(r.num, c.num) << c.text;
        EXPECT_EQ(r.den, c.den) << c.text;
    }
}

TEST(EncoderCommandLine, RefusesBadFrameRates) {
    Rational r;
    for (const char* text : {"", "0", "0.5", "61", "abc", "29,97", "29.97x", "-25", "29.9701", ".", "1e2"})
        EXPECT_FALSE(ParseFrameRate(text, &r)) << text;
}

TEST(EncoderCommandLine, HelpWins) {
    EXPECT_TRUE(ParseCommandLine({"-h"}).show_help);
    EXPECT_FALSE(std::string(UsageText()).empty());
}

TEST(EncoderCommandLine, RefusesWhatTheProgramMayPassByMistake) {
    struct Case {
        Args args;
        const char* expected;  // part of the one-line explanation
    } cases[] = {
        // A setting out of its table leaves "-s" followed by the next option.
        {[] { Args a = ProgramLine(); a.erase(a.begin() + 3); return a; }(), "-s: missing value"},
        {With("-s", ""), "-s: empty value"},
        {With("-r", ""), "-r: empty value"},
        {With("-b", "0"), "-b: '0' is out of range"},
        {With("-b", "abc"), "-b: 'abc' is not a whole number"},
        {With("-ab", "10001"), "-ab: '10001' is out of range"},
        {With("-vol", "-5"), "-vol: '-5' is out of range"},
        {With("-ac", "6"), "-ac: '6' is out of range"},
        {With("-ar", "22000"), "-ar: AAC cannot carry 22000 Hz"},
        {With("-s", "320x241"), "odd side"},
        {With("-s", "320"), "not a frame size"},
        {With("-s", "4000x3000"), "out of range"},
        {With("-r", "100"), "-r:"},
        {With("-acodec", "mp3"), "unsupported audio codec 'mp3'"},
        {With("-f", "mp4"), "unsupported format 'mp4'"},
        {[] { Args a = ProgramLine(); a.push_back("-v"); a.push_back("loud"); return a; }(),
         "-v: 'loud' is not one of"},
        {[] { Args a = ProgramLine(); a.push_back("-vcodec"); a.push_back("x"); return a; }(),
         "unrecognized option '-vcodec'"},
        {[] { Args a = ProgramLine(); a.push_back("-y"); return a; }(), "-y: missing value"},
        {[] { Args a = ProgramLine(); a.push_back("-b"); a.push_back("300"); return a; }(), "-b: given twice"},
        {{"-y", "out.mp4"}, "no input file"},
        {{"-i", "in.avi"}, "no output file"},
        {{}, "no input file"},
    };
    for (const Case& c : cases) {
        const std::string refusal = Refusal(c.args);
        EXPECT_NE(refusal.find(c.expected), std::string::npos)
            << "expected '" << c.expected << "', got '" << refusal << "'";
        EXPECT_EQ(refusal.find('\n'), std::string::npos) << refusal;  // one line
    }
}

TEST(EncoderCommandLine, ProgressNameIsFoundEvenOnARefusedLine) {
    Args named = ProgramLine();
    named.insert(named.end(), {"-progress-name", "Local\\vq-1-7"});
    EXPECT_EQ(ParseCommandLine(named).options.progress_name, "Local\\vq-1-7");
    EXPECT_EQ(ParseCommandLine(ProgramLine()).options.progress_name, "");
    EXPECT_EQ(ProgressNameArgument(named), "Local\\vq-1-7");

    // Refused lines: the name still tells where to publish the refusal,
    // unless it is missing.
    EXPECT_EQ(ProgressNameArgument({"-progress-name", "/vq", "-s", "320"}), "/vq");
    EXPECT_EQ(ProgressNameArgument({"-progress-name", "-i", "a.avi"}), "");
    EXPECT_EQ(ProgressNameArgument({"-i", "a.avi", "-progress-name"}), "");
    EXPECT_NE(Refusal({"-progress-name", "-i", "a.avi", "-y", "b.mp4"}).find("-progress-name: missing value"),
              std::string::npos);
}

TEST(EncoderCommandLine, VolumeIsAPercentage) {
    EXPECT_EQ(ParseCommandLine(With("-vol", "0")).options.volume_percent, 0);
    EXPECT_EQ(ParseCommandLine(With("-vol", "200")).options.volume_percent, 200);
    EXPECT_NE(Refusal(With("-vol", "1001")), "");
}

}  // namespace
