#include "conversion_settings.h"

#include <algorithm>
#include <iterator>

#include "number_text.h"

namespace {

const char* const kFrameSizes[] = {"320x240", "368x208", "400x192"};
const double kFrameRates[] = {14.985, 29.97};
const char* const kChannels[] = {"1", "2"};

template <typename T, size_t N>
bool InTable(const T (&)[N], int32_t index) {
    return index >= 0 && static_cast<size_t>(index) < N;
}

}  // namespace

ConversionSettings DefaultSettings() {
    ConversionSettings settings;
    settings.Resolution = 0;    // 320x240
    settings.Framerate = 1;     // 29.97
    settings.Channels = 1;      // stereo
    settings.VideoQuality = 450;
    settings.AudioQuality = 48;
    settings.Volume = 100;
    settings.PspNumber = kDefaultFirstNumber;
    settings.AspectMode = kAspectPad;  // the picture's shape kept
    settings.VideoFormat = kVideoMpeg4;  // plays on every PSP; "默认" leaves the format alone
    settings.TitleFromName = 1;
    settings.Subtitles = 1;
    settings.AudioTrack = kAudioChineseFirst;
    settings.Simultaneous = kSimultaneousAuto;
    return settings;
}

std::string FrameSizeText(int32_t index) {
    return InTable(kFrameSizes, index) ? kFrameSizes[index] : "";
}

std::string FrameRateText(int32_t index) {
    return InTable(kFrameRates, index) ? FloatToText(kFrameRates[index]) : "";
}

std::string ChannelText(int32_t index) {
    return InTable(kChannels, index) ? kChannels[index] : "";
}

std::string EncodedFrameSizeText(const ConversionSettings& settings) {
    return UsesH264(settings) ? "480x272" : FrameSizeText(settings.Resolution);
}

int32_t RowsAtOnce(const ConversionSettings& settings, int32_t logicalProcessors) {
    constexpr int32_t kMostAtOnce = 4;
    if (settings.Simultaneous == kSimultaneousAuto)
        return std::clamp<int32_t>(logicalProcessors / 4, 1, kMostAtOnce);
    if (settings.Simultaneous >= 0 && settings.Simultaneous < kMostAtOnce) return settings.Simultaneous + 1;
    return 1;
}

std::string FitText(int32_t aspectMode) {
    switch (aspectMode) {
    case kAspectPad: return "pad";
    case kAspectCrop: return "crop";
    default: return "";
    }
}
