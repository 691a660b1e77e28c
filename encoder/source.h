#pragma once
// The source video: the demuxer and a decoder for the picture and, when the
// file has one, the sound.
#include <string>

#include "av_ptr.h"

class Source {
public:
    // Throws Failure when the file cannot be opened, holds no picture, or
    // uses a codec this build cannot decode; or when it is smaller than its
    // header says (AVI). io: reads the file's content instead of opening it
    // (tests fail reads with it); it stays the caller's and outlives this.
    // chinese_sound: the first Chinese sound track (sound_choice.h).
    explicit Source(const std::string& path, AVIOContext* io = nullptr, bool chinese_sound = false);

    const std::string& path() const { return path_; }
    AVStream* video_stream() const { return format_->streams[video_index_]; }
    AVCodecContext* video_decoder() const { return video_.get(); }
    // Null when the source has no sound.
    AVStream* audio_stream() const { return audio_index_ < 0 ? nullptr : format_->streams[audio_index_]; }
    AVCodecContext* audio_decoder() const { return audio_.get(); }

    // Timestamp (AV_TIME_BASE units) that becomes zero in the output: the
    // earliest start of the picture and the sound, so a file that starts at
    // 0.5 s (MPEG program streams do) plays from the start.
    int64_t start_time() const;
    // Length in seconds as the file's header or index states it; 0 when it
    // states none (transport and program streams, whose length FFmpeg only
    // guesses from the timestamps it finds).
    double stated_duration() const { return stated_duration_; }
    // Length in seconds, stated or guessed; 0 when unknown. Only a hint.
    double length_hint() const;
    // Length in microseconds for progress reports; -1 when the container does
    // not say or only guesses it from the bit rate (raw MPEG streams, whose
    // stated rate is a ceiling).
    int64_t known_duration_us() const;
    // The picture's display matrix (9 values); null when it has none.
    const int32_t* display_matrix() const;

    // The next packet of the picture or sound stream; false at the end of
    // the file, or where its content becomes unreadable (a damaged or cut
    // off file: the length check tells those apart). Throws Failure
    // (SourceUnreadable, naming the byte) when reading the file fails.
    bool ReadPacket(AVPacket* packet);

private:
    std::string path_;
    av::Input format_;
    int video_index_ = -1;
    int audio_index_ = -1;
    av::Codec video_;
    av::Codec audio_;
    double stated_duration_ = 0;
};
