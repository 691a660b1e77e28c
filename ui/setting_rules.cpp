#include "setting_rules.h"

#include <algorithm>

#include "app_error.h"
#include "codepage.h"
#include "number_text.h"

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

namespace {

void StoreFields(const SettingFields& fields, ConversionSettings& settings) {
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
}

}  // namespace

void ConfirmSettings(const SettingFields& fields, const ConversionSettings& shown,
                     const std::function<void(const EditedSettings&)>& handBack) {
    EditedSettings edited{shown, false};
    try {
        StoreFields(fields, edited.settings);
    } catch (const ConversionError&) {
        handBack(edited);
        throw;
    }
    edited.complete = true;
    handBack(edited);
}

void AdoptSettings(const EditedSettings& edited, ConversionSettings& settings, JobList& jobs,
                   const std::function<void()>& save) {
    settings = edited.settings;
    if (!edited.complete) return;
    jobs.RenumberAll(settings.PspNumber, settings.Output, settings.VideoFormat);
    save();
}

ScreenPoint CenteredOrigin(const ScreenRect& area, int32_t width, int32_t height) {
    // int division truncates toward zero: (-3) / 2 == -1, as required.
    return {area.left + (area.right - area.left - width) / 2,
            area.top + (area.bottom - area.top - height) / 2};
}
