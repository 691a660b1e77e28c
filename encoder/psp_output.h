#pragma once
// The output: an MPEG-4 Simple Profile or H.264 Main Profile encoder, an
// AAC-LC encoder and the PSP flavour of the MP4 muxer, writing to one
// (temporary) file.
#include <mutex>
#include <string>

#include "av_ptr.h"
#include "options.h"
#include "picture_colours.h"
#include "progress_sink.h"

class PspOutput {
public:
    // Opens the encoders and the file and writes the header; a picture
    // whose colours were converted is described as such in its stream.
    PspOutput(const std::string& path, const EncodeOptions& options, const PictureColours& colours);

    AVCodecContext* video_encoder() const { return video_.get(); }
    AVCodecContext* audio_encoder() const { return audio_.get(); }

    // Encode one frame (pts in the encoder's time base) and write whatever
    // packets come out. The two may run on different threads, one each.
    void EncodeVideo(AVFrame* frame);
    void EncodeAudio(AVFrame* frame);

    // Drains both encoders, writes the index and closes the file, checking
    // every step: only after this returns is the file complete. Call it
    // when no other thread encodes any more.
    void Finish();

    // Told of every picture encoded; null: nobody.
    void ReportProgressTo(ProgressSink* progress) { progress_ = progress; }

private:
    void Encode(AVCodecContext* encoder, AVStream* stream, AVPacket* packet, AVFrame* frame);

    av::Output format_;
    av::Codec video_;
    av::Codec audio_;
    AVStream* video_stream_ = nullptr;  // owned by format_
    AVStream* audio_stream_ = nullptr;
    av::Packet video_packet_;
    av::Packet audio_packet_;
    std::mutex mux_mutex_;  // the muxer is shared by both encoders' threads
    int64_t video_frames_ = 0;
    int64_t audio_packets_ = 0;
    ProgressSink* progress_ = nullptr;
};
