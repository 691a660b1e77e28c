#include "setting_rules.h"

#include <algorithm>

#include "app_error.h"
#include "codepage.h"
#include "number_text.h"

namespace {

// The number in a target's file name "M4V<number>.MP4" or "MAQ<number>.MP4",
// as MakeTargetPath writes it; false for anything else.
bool TargetNumber(const std::string& target, int64_t& number) {
    size_t slash = target.rfind('\\');
    std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    const size_t head = 3;  // "M4V", or "MAQ" for H.264
    const std::string start = name.substr(0, head), tail = ".MP4";
    if (name.size() <= head + tail.size() || (start != "M4V" && start != "MAQ") ||
        name.compare(name.size() - tail.size(), tail.size(), tail) != 0) {
        return false;
    }
    std::string digits = name.substr(head, name.size() - head - tail.size());
    // Only what IntToText produces: TextToInt alone would also take "$1F".
    bool negative = digits[0] == '-';
    if (digits.size() == (negative ? 1u : 0u)) return false;
    for (size_t i = negative ? 1 : 0; i < digits.size(); ++i) {
        if (digits[i] < '0' || digits[i] > '9') return false;
    }
    try {
        number = TextToInt(digits);
    } catch (const ConversionError&) {
        return false;
    }
    return IntToText(static_cast<int32_t>(number)) == digits;
}

}  // namespace

const QualityPreset* PresetAt(int index) {
    static const ConversionSettings defaults = DefaultSettings();
    static const QualityPreset presets[kPresetCount] = {
        {"较低品质", 150, 16, 0},
        {"一般品质", 300, 32, 0},
        {"标准品质", defaults.VideoQuality, defaults.AudioQuality, defaults.Channels},
        {"中等品质", 600, 64, 1},
        {"较高品质", 800, 96, 1},
        {"超高品质", 1000, 128, 1},
    };
    return index >= 0 && index < kPresetCount ? &presets[index] : nullptr;
}

int ClampVolume(int32_t value) { return std::clamp<int32_t>(value, kVolumeMin, kVolumeMax); }

const std::string& InitialVolumeLabel() { return SysText("音量:"); }

std::string VolumeLabelText(int position) { return SysText("音量: %") + IntToText(position); }

int32_t StepBitRate(const std::string& shown, int direction) {
    int32_t value = kBitRateMin;
    try {
        value = TextToInt(shown);
    } catch (const ConversionError&) {
        return kBitRateMin;
    }
    if (value < kBitRateMin) return kBitRateMin;
    if (value > kBitRateMax) return kBitRateMax;
    return std::clamp<int32_t>(direction > 0 ? value + 1 : value - 1, kBitRateMin, kBitRateMax);
}

int32_t NumberAfterDefaults(int32_t pspNumber, const JobList& jobs) {
    int64_t next = static_cast<int64_t>(pspNumber) + jobs.Count();
    for (int i = 0; i < jobs.Count(); ++i) {
        int64_t used = 0;
        if (TargetNumber(jobs.Row(i).Target, used)) next = std::max(next, used + 1);
    }
    // Past the top of the 32-bit range the counter wraps, as AddJob's does.
    return static_cast<int32_t>(static_cast<uint32_t>(next));
}

void ConfirmSettings(const SettingFields& fields, ConversionSettings& settings, JobList& jobs,
                     const std::function<void()>& save) {
    settings.Resolution = fields.resolution;
    settings.Framerate = fields.framerate;
    settings.Channels = fields.channels;
    settings.AspectMode = fields.aspectMode;
    settings.VideoFormat = fields.videoFormat;
    settings.TitleFromName = fields.titleFromName;
    settings.Subtitles = fields.subtitles;
    settings.AudioTrack = fields.audioTrack;
    settings.Simultaneous = fields.simultaneous;
    settings.VideoQuality = TextToInt(fields.video);
    settings.AudioQuality = TextToInt(fields.audio);
    settings.Volume = fields.volume;
    settings.PspNumber = TextToInt(fields.number);
    jobs.RenumberAll(settings.PspNumber, settings.Output, settings.VideoFormat);
    save();
}

ScreenPoint CenteredOrigin(const ScreenRect& area, int32_t width, int32_t height) {
    // int division truncates toward zero: (-3) / 2 == -1, as required.
    return {area.left + (area.right - area.left - width) / 2,
            area.top + (area.bottom - area.top - height) / 2};
}
