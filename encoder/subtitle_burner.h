#pragma once
// "-sub auto": burns the subtitles ChooseSubtitles picks into the source's
// pictures, before they are scaled. Text subtitles are drawn by libass
// through FFmpeg's subtitles filter at the head of the picture's filter
// chain; picture subtitles are laid over each decoded picture. Subtitles
// that cannot be read are left out with a warning: the video converts
// without them.
#include <memory>
#include <string>

#include "picture_subtitles.h"
#include "subtitle_choice.h"

class SubtitleBurner {
public:
    // source_start_us: the source's first timestamp (AV_TIME_BASE units),
    // which the picture's filter chain counts from.
    SubtitleBurner(const std::string& video, int64_t source_start_us);
    ~SubtitleBurner();
    SubtitleBurner(const SubtitleBurner&) = delete;
    SubtitleBurner& operator=(const SubtitleBurner&) = delete;

    // Filters for the head of the picture's chain, each followed by a comma;
    // "" when there are no text subtitles.
    std::string TextFilters() const;
    // The chain with TextFilters() could not be set up: the text cannot be
    // read (the filter reads it then). Goes on without it.
    void TextFailed(const std::string& why);

    // Lays the picture subtitles shown at `time_us` (the source's own clock)
    // over a decoded picture.
    void DrawPictures(AVFrame* frame, int64_t time_us);

    // A line for the user when subtitles were there but left out; else "".
    const std::string& warning() const { return warning_; }

private:
    void PrepareFile();  // a subtitle file: read it, as UTF-8
    void Drop(const std::string& why);

    SubtitleChoice choice_;
    int64_t source_start_us_ = 0;
    std::string text_path_;       // what the filter reads: the file, its UTF-8 copy, or the video
    std::string converted_copy_;  // the UTF-8 copy we made (removed at the end); "" when none
    std::unique_ptr<PictureSubtitles> pictures_;
    std::string warning_;
};
