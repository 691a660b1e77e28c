#pragma once
// What the settings dialog decides without a window: the quality presets, the
// volume label, how the bit-rate arrows step, the counter "默认" proposes, how
// "确定" stores the fields, and where a window goes to be centred. Texts are
// in the system code page.
#include <cstdint>
#include <functional>
#include <string>

#include "conversion_settings.h"
#include "job_list.h"

// The preset list's items and what each puts into the video and audio rate
// fields and the channel list.
struct QualityPreset {
    const char* name;  // UTF-8 literal; SysText() gives the item text
    int32_t videoKbps;
    int32_t audioKbps;
    int channelIndex;  // position in the channel list
};
constexpr int kPresetCount = 6;
constexpr int kStandardPreset = 2;  // "标准品质" (DefaultSettings()), the first choice and "默认"'s
// nullptr for any index outside 0-5 (CB_ERR when nothing is selected).
const QualityPreset* PresetAt(int index);

// The volume slider and its label.
constexpr int kVolumeMin = 0;
constexpr int kVolumeMax = 200;
int ClampVolume(int32_t value);
// The caption before the position has ever changed: "音量:".
const std::string& InitialVolumeLabel();
// After a change: "音量: %" and the position, nothing after it.
std::string VolumeLabelText(int position);

// The rate fields' arrows: one arrow step from whatever the edit field shows.
constexpr int32_t kBitRateMin = 10;
constexpr int32_t kBitRateMax = 10000;
// direction > 0 steps up, otherwise down, by exactly 1 within the range. A
// number below the range starts at its low end, one above it at its high end;
// a text that is no whole number starts at the low end. Either way the first
// arrow press only brings the field into range.
int32_t StepBitRate(const std::string& shown, int direction);

// "默认": PspNumber + the row count, as long as no row's target already
// carries that number or a later one; otherwise the number after the highest
// one in use, so the next added file never shares a target with a row.
int32_t NumberAfterDefaults(int32_t pspNumber, const JobList& jobs);

// What the controls hold when "确定" is pressed.
struct SettingFields {
    int resolution = -1;  // selected positions, -1 when none
    int framerate = -1;
    int channels = -1;
    int aspectMode = -1;
    int videoFormat = -1;
    int titleFromName = -1;
    int subtitles = -1;
    int audioTrack = -1;
    int simultaneous = -1;
    std::string video;    // the video rate field
    std::string audio;    // the audio rate field
    int volume = 0;       // the volume slider
    std::string number;   // the first number field
};

// What "确定" hands back to the settings' owner: the copy of the settings
// the dialog showed, with the fields stored into it, and whether all of them
// were. A text that is no whole number stops the storing at its field; the
// fields before it are in the copy.
struct EditedSettings {
    ConversionSettings settings;
    bool complete = false;
};

// "确定": stores the fields in order into a copy of `shown` and hands the copy
// to `handBack`; a text that is no whole number hands back what was stored
// before its field, then throws ConversionError.
void ConfirmSettings(const SettingFields& fields, const ConversionSettings& shown,
                     const std::function<void(const EditedSettings&)>& handBack);

// The owner's side of "确定": takes the edited settings; when they are
// complete, renumbers the rows from the new PspNumber and runs `save` (it may
// throw WriteError; the renumbering stands).
void AdoptSettings(const EditedSettings& edited, ConversionSettings& settings, JobList& jobs,
                   const std::function<void()>& save);

// Centring: integer rectangles in screen coordinates, halves truncated toward
// zero, so a window 3 pixels wider than the area starts 1 pixel left of it.
struct ScreenRect {
    int32_t left, top, right, bottom;
};
struct ScreenPoint {
    int32_t x, y;
};
ScreenPoint CenteredOrigin(const ScreenRect& area, int32_t width, int32_t height);
