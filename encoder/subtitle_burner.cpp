#include "subtitle_burner.h"

#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <system_error>

extern "C" {
#include <libavutil/pixdesc.h>
#include <libavutil/time.h>
}

#include "file_system.h"
#include "subtitle_text.h"

namespace {

constexpr int64_t kLargestSubtitleFile = 64 << 20;

// A value inside a filter description: escaped once for the filter's own
// options and once more for the chain around it.
std::string FilterValue(const std::string& text) {
    std::string option, chain;
    for (char c : text) {
        if (c == '\\' || c == '\'' || c == ':' || c == '=') option += '\\';
        option += c;
    }
    for (char c : option) {
        if (c == '\\' || c == '\'' || c == '[' || c == ']' || c == ',' || c == ';') chain += '\\';
        chain += c;
    }
    return chain;
}

// The whole file, through FFmpeg's I/O (UTF-8 names on every system).
bool ReadWhole(const std::string& path, std::string* bytes) {
    AVIOContext* raw = nullptr;
    if (avio_open(&raw, path.c_str(), AVIO_FLAG_READ) < 0) return false;
    const av::Io file(raw);
    const int64_t size = avio_size(raw);
    if (size < 0 || size > kLargestSubtitleFile) return false;
    bytes->resize(static_cast<size_t>(size));
    return size == 0 || avio_read(raw, reinterpret_cast<unsigned char*>(bytes->data()), static_cast<int>(size)) == size;
}

bool WriteWhole(const std::string& path, const std::string& bytes) {
    AVIOContext* raw = nullptr;
    if (avio_open(&raw, path.c_str(), AVIO_FLAG_WRITE) < 0) return false;
    avio_write(raw, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<int>(bytes.size()));
    avio_flush(raw);
    const bool ok = raw->error == 0;
    return avio_closep(&raw) == 0 && ok;
}

// A name for the UTF-8 copy of a subtitle file in the system's temporary
// folder, with the original's extension (the reader goes by it).
std::string TemporaryCopyName(const std::string& original) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) return "";
    static int counter = 0;
    char name[64];
    snprintf(name, sizeof name, "trancor-%" PRId64 "-%d", static_cast<int64_t>(av_gettime()), ++counter);
    return (folder / (name + std::filesystem::u8path(original).extension().u8string())).u8string();
}

void RemoveQuietly(const std::string& path) {
    try {
        fsys::RemoveIfPresent(path, "removing a temporary file");
    } catch (const Failure&) {
        // A copy left in the temporary folder harms nothing.
    }
}

}  // namespace

SubtitleBurner::SubtitleBurner(const std::string& video, int64_t source_start_us)
    : choice_(ChooseSubtitles(video)), source_start_us_(source_start_us) {
    switch (choice_.kind) {
    case SubtitleChoice::Kind::None:
        return;
    case SubtitleChoice::Kind::File:
        PrepareFile();
        return;
    case SubtitleChoice::Kind::TextTrack:
        text_path_ = video;
        return;
    case SubtitleChoice::Kind::PictureTrack:
        try {
            pictures_ = std::make_unique<PictureSubtitles>(video, choice_.stream);
        } catch (const Failure& e) {
            Drop(std::string("its picture subtitles cannot be read: ") + e.what());
        }
        return;
    }
}

void SubtitleBurner::PrepareFile() {
    // libass reads UTF-8 only; other texts go through a UTF-8 copy.
    std::string bytes, utf8;
    if (!ReadWhole(choice_.path, &bytes)) return Drop(choice_.path + ": cannot be read");
    if (!SubtitleTextToUtf8(bytes, &utf8))
        return Drop(choice_.path + ": neither UTF-8, UTF-16 nor the system's code page");
    if (utf8 == bytes) {
        text_path_ = choice_.path;
        return;
    }
    const std::string copy = TemporaryCopyName(choice_.path);
    if (copy.empty() || !WriteWhole(copy, utf8)) {
        if (!copy.empty()) RemoveQuietly(copy);
        return Drop(choice_.path + ": no temporary copy could be written");
    }
    converted_copy_ = text_path_ = copy;
}

SubtitleBurner::~SubtitleBurner() {
    if (!converted_copy_.empty()) RemoveQuietly(converted_copy_);
}

std::string SubtitleBurner::TextFilters() const {
    if (text_path_.empty()) return "";
    std::string filter = "subtitles=filename=" + FilterValue(text_path_);
    if (choice_.kind != SubtitleChoice::Kind::TextTrack) return filter + ",";
    // A track keeps the source's own clock; the chain counts from its start.
    filter += ":si=" + std::to_string(choice_.subtitle_number);
    if (source_start_us_ == 0) return filter + ",";
    char shift[32];
    snprintf(shift, sizeof shift, "%.6f/TB", source_start_us_ / static_cast<double>(AV_TIME_BASE));
    return std::string("setpts=PTS+") + shift + "," + filter + ",setpts=PTS-" + shift + ",";
}

void SubtitleBurner::TextFailed(const std::string& why) {
    text_path_.clear();
    Drop((choice_.kind == SubtitleChoice::Kind::File ? choice_.path : std::string("its text subtitles")) +
         " cannot be read (" + why + ")");
}

void SubtitleBurner::DrawPictures(AVFrame* frame, int64_t time_us) {
    if (pictures_ && !pictures_->Draw(frame, time_us)) {
        pictures_.reset();
        Drop("its picture subtitles cannot be drawn on pictures in " +
             std::string(av_get_pix_fmt_name(static_cast<AVPixelFormat>(frame->format))));
    }
}

void SubtitleBurner::Drop(const std::string& why) {
    warning_ = "converted without subtitles: " + why;
}
