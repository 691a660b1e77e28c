#pragma once
// Which subtitles "-sub auto" burns into a video: a subtitle file beside it
// with the same name, else its own text subtitles, else its picture
// subtitles, else none. Under Chinese sound, Chinese subtitles only where
// they are marked forced.
#include <string>

struct SubtitleChoice {
    enum class Kind { None, File, TextTrack, PictureTrack };
    Kind kind = Kind::None;
    std::string path;       // the subtitle file, or the video for a track (UTF-8)
    int stream = -1;        // a track's stream index in the video
    int subtitle_number = -1;  // its place among the video's subtitle tracks
    bool chinese = false;   // tagged Chinese (a file by its name, a track by its language)
    bool forced_lines_only = false;  // a picture track's lines marked forced, no others
};

// The file beside `video` that goes with it: "<base>.ass", ".ssa", ".srt",
// else "<base>.<tag>.<ext>", a tag naming Simplified Chinese first; "" when
// there is none.
std::string FindSubtitleFile(const std::string& video);

// The whole choice; a video FFmpeg cannot open has none (unless a file
// beside it is chosen). chinese_sound: the sound converted is Chinese
// (-alang chi found it). When the subtitles chosen are Chinese too, only
// forced ones are burned: a file tagged Chinese and "forced"
// ("电影.chs.forced.srt"), else a Chinese track marked forced, else the
// forced lines of a chosen picture track; else none.
SubtitleChoice ChooseSubtitles(const std::string& video, bool chinese_sound = false);
