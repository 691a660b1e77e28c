#pragma once
// What the settings tests compare: a ConversionSettings' numbers in a row,
// and the error box's text for what a step throws.
#include <string>
#include <vector>

#include "app_error.h"
#include "conversion_settings.h"

// Resolution, Framerate, Channels, VideoQuality, AudioQuality, Volume, PspNumber.
inline std::vector<int32_t> FirstColumnNumbers(const ConversionSettings& s) {
    return {s.Resolution, s.Framerate, s.Channels, s.VideoQuality, s.AudioQuality, s.Volume, s.PspNumber};
}
// AspectMode, VideoFormat, TitleFromName, Subtitles, AudioTrack, Simultaneous.
inline std::vector<int32_t> SecondColumnNumbers(const ConversionSettings& s) {
    return {s.AspectMode, s.VideoFormat, s.TitleFromName, s.Subtitles, s.AudioTrack, s.Simultaneous};
}

// The error box's text for the `Error` that `step` throws; another error
// goes on to the test.
template <typename Error, typename Step>
std::string ErrorBoxTextOf(Step step) {
    try {
        step();
    } catch (const Error& e) {
        return ErrorBoxText(e.what());
    }
    return "(nothing thrown)";
}
