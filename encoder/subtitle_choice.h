#pragma once
// Which subtitles "-sub auto" burns into a video: a subtitle file beside it
// with the same name, else its own text subtitles, else its picture
// subtitles, else none.
#include <string>

struct SubtitleChoice {
    enum class Kind { None, File, TextTrack, PictureTrack };
    Kind kind = Kind::None;
    std::string path;       // the subtitle file, or the video for a track (UTF-8)
    int stream = -1;        // a track's stream index in the video
    int subtitle_number = -1;  // its place among the video's subtitle tracks
};

// The file beside `video` that goes with it: "<base>.ass", ".ssa", ".srt",
// else "<base>.<tag>.<ext>", a tag naming Simplified Chinese first; "" when
// there is none.
std::string FindSubtitleFile(const std::string& video);

// The whole choice; a video FFmpeg cannot open has none.
SubtitleChoice ChooseSubtitles(const std::string& video);
