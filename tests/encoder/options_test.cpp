// The encoder's command line: the old ffmpeg units the program relies on,
// and refusal of anything the program could pass by mistake.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "failure.h"
#include "options.h"
#include "picture_fit.h"

namespace {

using Args = std::vector<std::string>;

// The program's own command line with the settings dialog's defaults.
Args ProgramLine() {
    return {"-i", "D:\\v\\a.avi", "-s", "320x240", "-r", "29.97", "-ac", "2", "-b", "450", "-ab", "48",
            "-vol", "100", "-title", "pelmora", "-ar", "24000", "-acodec", "aac", "-f", "psp",
            "-y", "E:\\M4V30000.MP4"};
}

Args With(Args args, const std::string& option, const std::string& value) {
    for (size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == option) args[i + 1] = value;
    return args;
}

Args With(const std::string& option, const std::string& value) { return With(ProgramLine(), option, value); }

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
         "-vcodec: unsupported video codec 'x'"},
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

Args Plus(Args args, std::initializer_list<std::string> pieces) {
    args.insert(args.begin() + 4, pieces);  // after the -s value, where the program puts them
    return args;
}

TEST(EncoderCommandLine, FitAndH264InsideLevel21) {
    const EncodeOptions today = ParseCommandLine(ProgramLine()).options;
    EXPECT_EQ(today.fit, PictureFit::Stretch);
    EXPECT_EQ(today.video_codec, VideoCodec::Mpeg4);
    EXPECT_EQ(ParseCommandLine(Plus(ProgramLine(), {"-fit", "pad"})).options.fit, PictureFit::Pad);
    EXPECT_EQ(ParseCommandLine(Plus(ProgramLine(), {"-fit", "crop"})).options.fit, PictureFit::Crop);
    const Args h264 = Plus(With("-s", "480x272"), {"-vcodec", "h264"});
    EXPECT_EQ(ParseCommandLine(h264).options.video_codec, VideoCodec::H264);
    // The level's edges: 480x272 at 29.97 and 4000 kbit/s still fit.
    EXPECT_EQ(Refusal(With(With(h264, "-b", "4000"), "-r", "29.97")), "");
    for (const auto& [args, expected] : std::vector<std::pair<Args, std::string>>{
             {Plus(ProgramLine(), {"-fit", "stretch"}), "-fit: 'stretch' is not pad or crop"},
             {Plus(ProgramLine(), {"-vcodec", "mpeg4"}), "-vcodec: unsupported video codec 'mpeg4'"},
             {With(h264, "-s", "720x576"), "-s: 720x576 is too large for H.264 level 2.1"},
             {With(h264, "-r", "59.94"), "-r: too many pictures a second"},
             {With(h264, "-b", "4001"), "-b: 4001 kbit/s is above H.264 level 2.1"}}) {
        const std::string refusal = Refusal(args);
        EXPECT_EQ(refusal.rfind(expected, 0), 0u) << "expected '" << expected << "', got '" << refusal << "'";
    }
}

// -fit over a range of shapes and frames: the placement is even, centred
// within a pixel pair, inside the frame for pad and over it for crop, one
// side on the frame's edge, and the display shape kept within the rounding
// of one even step.
TEST(PicturePlacement, KeepsTheDisplayShapeInEveryFrame) {
    const PictureSource shapes[] = {{640, 360, {1, 1}, false}, {1920, 816, {1, 1}, false},
                                    {360, 640, {1, 1}, false}, {640, 480, {1, 1}, false},
                                    {720, 480, {32, 27}, false}, {720, 576, {16, 11}, false},
                                    {320, 180, {1, 1}, true},   {1920, 1080, {0, 1}, true}};
    const int frames[][2] = {{320, 240}, {368, 208}, {400, 192}, {480, 272}, {720, 576}, {16, 16}};
    for (const PictureSource& s : shapes) {
        double shape = double(s.width) * std::max(s.sample_aspect.num, 1) / (double(s.height) * s.sample_aspect.den);
        if (s.turned_sideways) shape = 1 / shape;
        for (const auto& f : frames) {
            const std::string where = std::to_string(s.width) + "x" + std::to_string(s.height) + " in " +
                                      std::to_string(f[0]) + "x" + std::to_string(f[1]);
            const PicturePlacement pad = PlacePicture(s, PictureFit::Pad, f[0], f[1]);
            const PicturePlacement crop = PlacePicture(s, PictureFit::Crop, f[0], f[1]);
            for (const PicturePlacement& p : {pad, crop}) {
                EXPECT_EQ((p.width | p.height | p.x | p.y) & 1, 0) << where;
                EXPECT_NEAR(double(p.width) / p.height, shape, shape * 2.0 / std::min(p.width, p.height) + 1e-9)
                    << where;
            }
            EXPECT_TRUE(pad.width == f[0] || pad.height == f[1]) << where;
            EXPECT_TRUE(pad.width <= f[0] && pad.height <= f[1]) << where;
            EXPECT_LE(std::abs(f[0] - pad.width - 2 * pad.x), 2) << where;
            EXPECT_LE(std::abs(f[1] - pad.height - 2 * pad.y), 2) << where;
            EXPECT_TRUE(crop.width == f[0] || crop.height == f[1]) << where;
            EXPECT_TRUE(crop.width >= f[0] && crop.height >= f[1]) << where;
            EXPECT_LE(std::abs(crop.width - f[0] - 2 * crop.x), 2) << where;
            EXPECT_LE(std::abs(crop.height - f[1] - 2 * crop.y), 2) << where;
        }
    }
    const PicturePlacement stretch = PlacePicture(shapes[4], PictureFit::Stretch, 320, 240);
    EXPECT_EQ(stretch.width * 1000 + stretch.height, 320240);  // without -fit: the frame
}

TEST(EncoderCommandLine, SubtitlesAndChineseSoundOnlyWhenAskedAndOnlyTheirOneValue) {
    const EncodeOptions plain = ParseCommandLine(ProgramLine()).options;
    EXPECT_FALSE(plain.burn_subtitles || plain.chinese_sound);
    Args args = ProgramLine();
    args.insert(args.begin() + 4, {"-sub", "auto", "-alang", "chi"});
    const EncodeOptions both = ParseCommandLine(args).options;
    EXPECT_TRUE(both.burn_subtitles && both.chinese_sound);
    args.erase(args.begin() + 4, args.begin() + 6);
    EXPECT_FALSE(ParseCommandLine(args).options.burn_subtitles);
    EXPECT_TRUE(ParseCommandLine(args).options.chinese_sound);
    for (const char* other : {"zho", "Chi", "jpn"}) {
        args[5] = other;
        EXPECT_NE(Refusal(args).find("-alang: unsupported language"), std::string::npos) << other;
    }
    args.insert(args.begin() + 4, {"-sub", "Auto"});
    EXPECT_NE(Refusal(args).find("-sub"), std::string::npos);
}

}  // namespace
