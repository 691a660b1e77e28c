#include "subtitle_burner.h"

#include <cinttypes>
#include <cstdio>

extern "C" {
#include <libavutil/pixdesc.h>
#include <libavutil/time.h>
}

#include "file_system.h"
#include "subtitle_text.h"

namespace {

constexpr int64_t kLargestSubtitleFile = 64 << 20;

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
    const std::string folder = fsys::TemporaryFolder();
    if (folder.empty()) return "";
    static int counter = 0;
    char name[64];
    snprintf(name, sizeof name, "trancor-%" PRId64 "-%d", static_cast<int64_t>(av_gettime()), ++counter);
    return folder + name + fsys::SplitPath(original).extension();
}

std::string PixelFormatName(const AVFrame* frame) {
    const char* name = av_get_pix_fmt_name(static_cast<AVPixelFormat>(frame->format));
    return name ? name : "an unknown format";
}

void RemoveQuietly(const std::string& path) {
    try {
        fsys::RemoveIfPresent(path, "removing a temporary file");
    } catch (const Failure&) {
        // A copy left in the temporary folder harms nothing.
    }
}

}  // namespace

SubtitleBurner::SubtitleBurner(const std::string& video, int64_t source_start_us, const OutputFrame& output,
                               bool chinese_sound)
    : choice_(ChooseSubtitles(video, chinese_sound)), source_start_us_(source_start_us), output_(output) {
    try {
        switch (choice_.kind) {
        case SubtitleChoice::Kind::None:
            return;
        case SubtitleChoice::Kind::File:
            ReadFile(video);
            return;
        case SubtitleChoice::Kind::TextTrack:
            text_ = std::make_unique<TextSubtitles>(video, choice_.stream, video, output_);
            return;
        case SubtitleChoice::Kind::PictureTrack:
            pictures_ = std::make_unique<PictureSubtitles>(video, choice_.stream, choice_.forced_lines_only);
            return;
        }
    } catch (const Failure& e) {
        Drop(std::string(choice_.kind == SubtitleChoice::Kind::File ? choice_.path : "its subtitles") +
             " cannot be read: " + e.what());
    }
}

void SubtitleBurner::ReadFile(const std::string& video) {
    // The readers take UTF-8 only; other texts go through a UTF-8 copy,
    // which is read at once and removed.
    std::string bytes, utf8;
    if (!ReadWhole(choice_.path, &bytes)) return Drop(choice_.path + ": cannot be read");
    if (!SubtitleTextToUtf8(bytes, &utf8))
        return Drop(choice_.path + ": neither UTF-8, UTF-16 nor the system's code page");
    if (utf8 == bytes) {
        text_ = std::make_unique<TextSubtitles>(choice_.path, -1, video, output_);
        return;
    }
    const std::string copy = TemporaryCopyName(choice_.path);
    if (copy.empty() || !WriteWhole(copy, utf8)) {
        if (!copy.empty()) RemoveQuietly(copy);
        return Drop(choice_.path + ": no temporary copy could be written");
    }
    try {
        text_ = std::make_unique<TextSubtitles>(copy, -1, video, output_);
    } catch (const Failure&) {
        RemoveQuietly(copy);
        throw;
    }
    RemoveQuietly(copy);
}

void SubtitleBurner::Draw(AVFrame* frame, int64_t time_us) {
    if (pictures_ && !pictures_->Draw(frame, time_us)) {
        pictures_.reset();
        Drop("its picture subtitles cannot be drawn on pictures in " + PixelFormatName(frame));
    }
    // A file's times count from the source's start, a track's are the
    // source's own.
    const int64_t text_us = choice_.kind == SubtitleChoice::Kind::File ? time_us - source_start_us_ : time_us;
    if (text_ && !text_->Draw(frame, text_us / 1000)) {
        text_.reset();
        Drop("its text subtitles cannot be drawn on pictures in " + PixelFormatName(frame));
    }
}

void SubtitleBurner::Drop(const std::string& why) {
    warning_ = "converted without subtitles: " + why;
}
