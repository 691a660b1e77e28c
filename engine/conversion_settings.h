#pragma once
// Everything the user can set about a conversion, its default values, and
// the small tables whose positions the settings store.
#include <cstdint>
#include <string>

// The number of a list's first target file ("M4V30000.MP4") until the user
// sets another.
constexpr int32_t kDefaultFirstNumber = 30000;

struct ConversionSettings {
    int32_t Resolution = 0;    // index into the frame-size table
    int32_t Framerate = 0;     // index into the frame-rate table
    int32_t Channels = 0;      // index into the channel table
    int32_t VideoQuality = 0;  // kbit/s
    int32_t AudioQuality = 0;  // kbit/s
    int32_t Volume = 0;        // 0-200 as the settings dialog offers it
    int32_t PspNumber = kDefaultFirstNumber;  // number of the first target file of a list
    std::string Output;        // output folder, system code page
    // Later settings; a Config.ini without them reads 0, today's behaviour.
    int32_t AspectMode = 0;     // AspectModes below
    int32_t VideoFormat = 0;    // VideoFormats below
    int32_t TitleFromName = 0;  // 0 the fixed title, 1 the source file's name
    int32_t Subtitles = 0;      // 0 none, 1 burned into the picture
    int32_t AudioTrack = 0;     // AudioTracks below
    int32_t Simultaneous = 0;   // how many rows convert at once: SimultaneousChoices below
};

// The values of the later settings, which are also their lists' positions in
// the settings dialog. Any other stored value acts as the first.
enum AspectModes : int32_t { kAspectStretch = 0, kAspectPad = 1, kAspectCrop = 2 };
enum VideoFormats : int32_t { kVideoMpeg4 = 0, kVideoH264 = 1 };
// The source's default sound track, or the first one tagged Chinese.
enum AudioTracks : int32_t { kAudioSourceDefault = 0, kAudioChineseFirst = 1 };
// Positions 0-3 are 1-4 rows at once; kSimultaneousAuto one row per four
// logical processors.
enum SimultaneousChoices : int32_t { kSimultaneousAuto = 4 };

// H.264 always uses the PSP's full screen, whatever Resolution says.
inline bool UsesH264(const ConversionSettings& settings) { return settings.VideoFormat == kVideoH264; }

// The values the settings dialog's "默认" proposes and a first start begins
// with (the standard quality, 320x240 at 29.97, stereo, full volume); no
// output folder. The dialog's "标准品质" preset is made of them too.
ConversionSettings DefaultSettings();

// Encoder texts of the tables; an index outside its table gives "".
std::string FrameSizeText(int32_t index);  // "320x240", "368x208", "400x192"
std::string FrameRateText(int32_t index);  // 14.985, 29.97 by FloatToText
std::string ChannelText(int32_t index);    // "1", "2"
// The frame size the encoder is given: 480x272 for H.264, else the table's.
std::string EncodedFrameSizeText(const ConversionSettings& settings);
// How many rows a batch converts at once on a machine with that many
// logical processors: 1-4; "自动" 1 per 4 processors, within 1-4; a value
// outside the list 1.
int32_t RowsAtOnce(const ConversionSettings& settings, int32_t logicalProcessors);
// The -fit value: "pad", "crop", or "" for stretching (no option).
std::string FitText(int32_t aspectMode);
