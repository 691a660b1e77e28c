#pragma once
// The command line the program hands to the encoder, in the old ffmpeg
// spelling: "-b 450" is kbit/s, "-r 29.97" is the NTSC rate, "-vol" a percent.
#include <string>
#include <vector>

struct Rational {
    int num = 0;
    int den = 1;
};

// -vcodec: absent is MPEG-4 Part 2 (every PSP); h264 is AVC Main Profile at
// level 2.1 (system software 3.30 and later, up to the full 480x272 screen).
enum class VideoCodec { Mpeg4, H264 };

// -fit: how the source's shape meets the -s frame. Absent stretches it to
// the frame; pad fits it inside with black bars; crop covers the frame and
// cuts what overflows.
enum class PictureFit { Stretch, Pad, Crop };

struct EncodeOptions {
    std::string input;             // -i, UTF-8
    std::string output;            // -y, UTF-8; overwritten
    int width = 320, height = 240; // -s WxH
    PictureFit fit = PictureFit::Stretch;  // -fit
    VideoCodec video_codec = VideoCodec::Mpeg4;  // -vcodec
    Rational frame_rate{30000, 1001};  // -r
    int channels = 2;              // -ac
    int video_bit_rate = 450000;   // -b, bit/s
    int audio_bit_rate = 48000;    // -ab, bit/s
    int volume_percent = 100;      // -vol
    std::string title;             // -title; empty: none
    int sample_rate = 24000;       // -ar
    // -v: FFmpeg's own messages on stderr, for debugging; one of kLogLevels.
    std::string log_level = "quiet";
    bool burn_subtitles = false;   // -sub auto: the source's subtitles into the picture
    // -alang chi: the source's first Chinese sound track rather than its
    // default one; with Chinese subtitles too, only their forced lines.
    bool chinese_sound = false;
    // -progress-name: the progress record the front end created; empty:
    // one of the encoder's own, by its process id (trancor_progress.h).
    std::string progress_name;
};

// The values "-v" takes, quietest first.
extern const char* const kLogLevels[6];

struct ParsedCommand {
    bool show_help = false;
    EncodeOptions options;
};

// Parses the arguments after the program name. Throws UsageError with a
// one-line explanation for anything it does not accept.
ParsedCommand ParseCommandLine(const std::vector<std::string>& args);

// The value after the first "-progress-name", "" without one. Read before
// the rest of the command line, so that even a refused one is published.
std::string ProgressNameArgument(const std::vector<std::string>& args);

// "-r" text to an exact rate: values within rounding of N*1000/1001 (29.97,
// 14.985, 23.976, 59.94) become that NTSC fraction, others the plain decimal.
// Returns false for text that is not a positive decimal number.
bool ParseFrameRate(const std::string& text, Rational* rate);

const char* UsageText();
