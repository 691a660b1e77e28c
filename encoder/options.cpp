#include "options.h"

#include <cstdlib>
#include <map>
#include <numeric>

#include "failure.h"
#include "h264_level.h"

namespace {

// Option values are refused outside these bounds before anything is opened.
constexpr int kMinKbits = 10, kMaxKbits = 10000;  // the settings dialog's spinner
constexpr int kMaxVolume = 1000;
constexpr int kMinSide = 16, kMaxWidth = 720, kMaxHeight = 576;
constexpr int kMaxFrameRate = 60;
// The rates AAC can signal in its stream header.
constexpr int kAacRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};

[[noreturn]] void Refuse(const std::string& option, const std::string& why) {
    throw UsageError(option + ": " + why);
}

// Whole decimal number without sign, blanks or leading '+'; false otherwise.
bool ParseDigits(const std::string& text, long long* value) {
    if (text.empty() || text.size() > 12) return false;
    long long v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    *value = v;
    return true;
}

int ParseInt(const std::string& option, const std::string& text, int min, int max,
             const char* unit) {
    long long v = 0;
    bool negative = text.size() > 1 && text[0] == '-';
    if (!ParseDigits(negative ? text.substr(1) : text, &v))
        Refuse(option, "'" + text + "' is not a whole number");
    if (negative) v = -v;
    if (v < min || v > max)
        Refuse(option, "'" + text + "' is out of range (" + std::to_string(min) + " to " +
                           std::to_string(max) + unit + ")");
    return static_cast<int>(v);
}

void ParseSize(const std::string& text, EncodeOptions* o) {
    const auto x = text.find_first_of("xX");
    long long w = 0, h = 0;
    if (x == std::string::npos || !ParseDigits(text.substr(0, x), &w) ||
        !ParseDigits(text.substr(x + 1), &h))
        Refuse("-s", "'" + text + "' is not a frame size like 320x240");
    if (w < kMinSide || w > kMaxWidth || h < kMinSide || h > kMaxHeight)
        Refuse("-s", "'" + text + "' is out of range (16x16 to 720x576)");
    // 4:2:0 video has half-size colour planes: odd sides cannot be coded.
    if (w % 2 || h % 2) Refuse("-s", "'" + text + "' has an odd side; width and height must be even");
    o->width = static_cast<int>(w);
    o->height = static_cast<int>(h);
}

int ParseSampleRate(const std::string& text) {
    const int rate = ParseInt("-ar", text, 8000, 48000, " Hz");
    for (int r : kAacRates)
        if (r == rate) return rate;
    Refuse("-ar", "AAC cannot carry " + text + " Hz (use 8000, 11025, 12000, 16000, 22050, "
                  "24000, 32000, 44100 or 48000)");
}

enum class Opt { Input, Size, Rate, Channels, VideoKbits, AudioKbits, Volume, Title, SampleRate,
                 AudioCodec, Format, Output, LogLevel, Fit, VideoCodec, Subtitles,
                 SoundLanguage, ProgressName };

const std::map<std::string, Opt>& OptionNames() {
    static const std::map<std::string, Opt> names = {
        {"-i", Opt::Input},       {"-s", Opt::Size},         {"-r", Opt::Rate},
        {"-ac", Opt::Channels},   {"-b", Opt::VideoKbits},   {"-ab", Opt::AudioKbits},
        {"-vol", Opt::Volume},    {"-title", Opt::Title},    {"-ar", Opt::SampleRate},
        {"-acodec", Opt::AudioCodec}, {"-f", Opt::Format},   {"-y", Opt::Output},
        {"-v", Opt::LogLevel},    {"-fit", Opt::Fit},        {"-vcodec", Opt::VideoCodec},
        {"-sub", Opt::Subtitles},    {"-alang", Opt::SoundLanguage},
        {"-progress-name", Opt::ProgressName},
    };
    return names;
}

void Apply(Opt opt, const std::string& name, const std::string& value, EncodeOptions* o) {
    switch (opt) {
    case Opt::Input: o->input = value; break;
    case Opt::Output: o->output = value; break;
    case Opt::Size: ParseSize(value, o); break;
    case Opt::Rate:
        if (!ParseFrameRate(value, &o->frame_rate))
            Refuse(name, "'" + value + "' is not a frame rate from 1 to 60 with at most three decimals");
        break;
    case Opt::Channels: o->channels = ParseInt(name, value, 1, 2, " channels"); break;
    case Opt::VideoKbits: o->video_bit_rate = ParseInt(name, value, kMinKbits, kMaxKbits, " kbit/s") * 1000; break;
    case Opt::AudioKbits: o->audio_bit_rate = ParseInt(name, value, kMinKbits, kMaxKbits, " kbit/s") * 1000; break;
    case Opt::Volume: o->volume_percent = ParseInt(name, value, 0, kMaxVolume, " percent"); break;
    case Opt::Title: o->title = value; break;
    case Opt::ProgressName: o->progress_name = value; break;
    case Opt::SampleRate: o->sample_rate = ParseSampleRate(value); break;
    case Opt::AudioCodec:
        if (value != "aac") Refuse(name, "unsupported audio codec '" + value + "' (only aac)");
        break;
    case Opt::Format:
        if (value != "psp") Refuse(name, "unsupported format '" + value + "' (only psp)");
        break;
    case Opt::Fit:
        if (value == "pad") o->fit = PictureFit::Pad;
        else if (value == "crop") o->fit = PictureFit::Crop;
        else Refuse(name, "'" + value + "' is not pad or crop");
        break;
    case Opt::VideoCodec:
        if (value != "h264") Refuse(name, "unsupported video codec '" + value + "' (only h264; without -vcodec: MPEG-4)");
        o->video_codec = VideoCodec::H264;
        break;
    case Opt::LogLevel:
        for (const char* level : kLogLevels)
            if (value == level) {
                o->log_level = value;
                return;
            }
        Refuse(name, "'" + value + "' is not one of quiet, error, warning, info, verbose, debug");
    case Opt::Subtitles:
        if (value != "auto") Refuse(name, "unsupported value '" + value + "' (only auto)");
        o->burn_subtitles = true;
        break;
    case Opt::SoundLanguage:
        if (value != "chi") Refuse(name, "unsupported language '" + value + "' (only chi)");
        o->chinese_sound = true;
        break;
    }
}

// H.264 files state level 2.1 in their header; a picture, rate or bit rate
// beyond it would make a file the PSP may refuse, so it is refused here.
void CheckH264Level(const EncodeOptions& o) {
    using namespace h264_level;
    const int macroblocks = Macroblocks(o.width, o.height);
    if (macroblocks > kMaxFrameMacroblocks)
        Refuse("-s", std::to_string(o.width) + "x" + std::to_string(o.height) +
                         " is too large for H.264 level 2.1 (at most 792 macroblocks, e.g. 480x272)");
    if (static_cast<long long>(macroblocks) * o.frame_rate.num > kMaxMacroblockRate * o.frame_rate.den)
        Refuse("-r", "too many pictures a second at this size for H.264 level 2.1 (480x272 up to 29.97)");
    if (o.video_bit_rate > kMaxBitRate)
        Refuse("-b", std::to_string(o.video_bit_rate / 1000) + " kbit/s is above H.264 level 2.1 (at most " +
                         std::to_string(kMaxBitRate / 1000) + ")");
}

}  // namespace

const char* const kLogLevels[6] = {"quiet", "error", "warning", "info", "verbose", "debug"};

bool ParseFrameRate(const std::string& text, Rational* rate) {
    const auto dot = text.find('.');
    const std::string whole = text.substr(0, dot);
    const std::string fraction = dot == std::string::npos ? "" : text.substr(dot + 1);
    long long w = 0, f = 0;
    if (!ParseDigits(whole, &w) || whole.size() > 3 || fraction.size() > 3) return false;
    if (dot != std::string::npos && !ParseDigits(fraction, &f)) return false;
    long long den = 1;
    for (size_t i = 0; i < fraction.size(); ++i) den *= 10;
    const long long num = w * den + f;  // the rate is num/den exactly
    if (num < den || num > kMaxFrameRate * den) return false;

    // NTSC rates are N*1000/1001, which no short decimal spells exactly;
    // "29.97" means 30000/1001 when it is that within its last digit.
    const long long n = (num * 1001 + den * 500) / (den * 1000);  // nearest N
    const long long diff = std::llabs(n * 1000 * den - num * 1001);
    if (n > 0 && diff * 10000 < n * 1000 * den) {  // within 0.01 %
        const long long g = std::gcd(n * 1000, 1001LL);
        *rate = {static_cast<int>(n * 1000 / g), static_cast<int>(1001 / g)};
        return true;
    }
    const long long g = std::gcd(num, den);
    *rate = {static_cast<int>(num / g), static_cast<int>(den / g)};
    return true;
}

ParsedCommand ParseCommandLine(const std::vector<std::string>& args) {
    ParsedCommand cmd;
    std::map<Opt, bool> seen;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "-h") {
            cmd.show_help = true;
            return cmd;
        }
        const auto found = OptionNames().find(name);
        if (found == OptionNames().end())
            throw UsageError("unrecognized option '" + name + "' (see trancor -h)");
        // An option left without a value is followed directly by the next
        // option name, or by nothing at all.
        if (i + 1 >= args.size() || OptionNames().count(args[i + 1]))
            Refuse(name, "missing value");
        const std::string& value = args[++i];
        if (value.empty()) Refuse(name, "empty value");
        if (seen[found->second]) Refuse(name, "given twice");
        seen[found->second] = true;
        Apply(found->second, name, value, &cmd.options);
    }
    if (!seen[Opt::Input]) throw UsageError("no input file (-i FILE)");
    if (!seen[Opt::Output]) throw UsageError("no output file (-y FILE)");
    if (cmd.options.video_codec == VideoCodec::H264) CheckH264Level(cmd.options);
    return cmd;
}

std::string ProgressNameArgument(const std::vector<std::string>& args) {
    for (size_t i = 0; i + 1 < args.size(); ++i)
        if (args[i] == "-progress-name" && !OptionNames().count(args[i + 1])) return args[i + 1];
    return "";
}

const char* UsageText() {
    return
        "usage: trancor -i INPUT [options] -y OUTPUT.MP4\n"
        "Converts a video into an MP4 file for the PlayStation Portable (MPEG-4 or\n"
        "H.264 video, AAC audio) and writes a 160x120 thumbnail OUTPUT.THM beside it.\n"
        "\n"
        "  -i FILE      source video\n"
        "  -y FILE      output file; an existing file is replaced only on success\n"
        "  -s WxH       frame size, even sides, up to 720x576 (default 320x240)\n"
        "  -fit MODE    keep the picture's shape in the frame: pad (whole picture,\n"
        "               black bars) or crop (frame filled, overflow cut); without\n"
        "               -fit the picture is stretched to the frame\n"
        "  -vcodec h264 H.264 Main Profile, level 2.1 (PSP system 3.30 and later;\n"
        "               e.g. -s 480x272); without -vcodec: MPEG-4 (every PSP)\n"
        "  -r RATE      frame rate, 1 to 60; 29.97 and 14.985 mean 30000/1001 and\n"
        "               15000/1001 (default 29.97)\n"
        "  -b KBITS     video bit rate in kbit/s, 10 to 10000 (default 450)\n"
        "  -ab KBITS    audio bit rate in kbit/s, 10 to 10000 (default 48)\n"
        "  -ac N        audio channels, 1 or 2 (default 2)\n"
        "  -ar HZ       audio sample rate (default 24000)\n"
        "  -vol N       volume in percent: 100 unchanged, 0 silent, 200 double,\n"
        "               up to 1000 (default 100; not the old 256 scale)\n"
        "  -title TEXT  title shown by the PSP\n"
        "  -acodec aac  audio codec (only aac)\n"
        "  -f psp       output format (only psp)\n"
        "  -sub auto    burn subtitles into the picture: a subtitle file beside the\n"
        "               source (same name), else its text subtitles, else its picture\n"
        "               subtitles; none found is no error\n"
        "  -alang chi   the first Chinese sound track (tagged chi, zho, zh, cmn or\n"
        "               yue, or so titled); without one, or without -alang, the\n"
        "               track the source marks as default. With Chinese subtitles\n"
        "               chosen too, -sub auto burns only their forced lines\n"
        "  -v LEVEL     FFmpeg's own messages, for finding faults: quiet (default),\n"
        "               error, warning, info, verbose or debug\n"
        "  -progress-name NAME\n"
        "               publish progress in the shared-memory record NAME, which\n"
        "               the caller has created (default: one named by process id)\n"
        "  -h           this text\n"
        "\n"
        "trancor -probe FILE...: each file's length in microseconds on stdout, one\n"
        "line per file in the order given (-1: unreadable or unknown).\n"
        "\n"
        "Exit code 0 only when the output file is complete; 1 when the conversion\n"
        "failed, 2 for a bad command line. A failure is told in one line on stderr.\n";
}
