#pragma once
// The source video: the demuxer and a decoder for the picture and, when the
// file has one, the sound.
#include <string>

#include "av_ptr.h"

class Source {
public:
    // Throws Failure when the file cannot be opened, holds no picture, or
    // uses a codec this build cannot decode.
    explicit Source(const std::string& path);

    const std::string& path() const { return path_; }
    AVStream* video_stream() const { return format_->streams[video_index_]; }
    AVCodecContext* video_decoder() const { return video_.get(); }
    // Null when the source has no sound.
    AVStream* audio_stream() const { return audio_index_ < 0 ? nullptr : format_->streams[audio_index_]; }
    AVCodecContext* audio_decoder() const { return audio_.get(); }

    // Timestamp (AV_TIME_BASE units) that becomes zero in the output, so a
    // file that starts at 0.5 s (MPEG program streams do) plays from the start.
    int64_t start_time() const;
    // Length in seconds as the container declares it; 0 when unknown.
    double declared_duration() const;
    // Length in microseconds when it is known; -1 when the container does
    // not say or only guesses it from the bit rate (raw MPEG streams, whose
    // stated rate is a ceiling).
    int64_t known_duration_us() const;
    // The picture's own declared length and start, in its stream's time
    // base; 0 and AV_NOPTS_VALUE when the container does not say.
    int64_t declared_video_duration() const;
    int64_t video_start() const;

    // The next packet of the picture or sound stream; false at the end of
    // the file. Throws Failure for read errors.
    bool ReadPacket(AVPacket* packet);

private:
    std::string path_;
    av::Input format_;
    int video_index_ = -1;
    int audio_index_ = -1;
    av::Codec video_;
    av::Codec audio_;
};
