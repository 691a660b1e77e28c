#pragma once
// "-sub auto": burns the subtitles ChooseSubtitles picks into the source's
// pictures, before they are scaled. Text subtitles are drawn by libass
// onto each decoded picture, picture subtitles laid over it. Subtitles
// that cannot be read are left out with a warning: the video converts
// without them.
#include <memory>
#include <string>

#include "picture_subtitles.h"
#include "subtitle_choice.h"
#include "text_subtitles.h"

class SubtitleBurner {
public:
    // Reads the subtitles ahead. source_start_us: the source's first
    // timestamp (AV_TIME_BASE units), where a subtitle file's times start.
    // chinese_sound: the sound converted is Chinese (ChooseSubtitles).
    SubtitleBurner(const std::string& video, int64_t source_start_us, bool chinese_sound);
    SubtitleBurner(const SubtitleBurner&) = delete;
    SubtitleBurner& operator=(const SubtitleBurner&) = delete;

    // Draws the subtitles shown at `time_us` (the source's own clock,
    // AV_TIME_BASE units) onto a decoded picture, before it is scaled.
    void Draw(AVFrame* frame, int64_t time_us);

    // A line for the user when subtitles were there but left out; else "".
    const std::string& warning() const { return warning_; }

private:
    void ReadFile(const std::string& video);  // a subtitle file beside the video
    void Drop(const std::string& why);

    SubtitleChoice choice_;
    int64_t source_start_us_ = 0;
    std::unique_ptr<TextSubtitles> text_;
    std::unique_ptr<PictureSubtitles> pictures_;
    std::string warning_;
};
