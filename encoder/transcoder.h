#pragma once
// Decode -> filter -> encode -> mux for one file. The picture is handled on
// the calling thread, the sound on a worker; at the end of the source the
// decoders, filter chains and encoders are flushed in order.
#include <memory>

#include "audio_track.h"
#include "audio_worker.h"
#include "filter_chain.h"
#include "options.h"
#include "psp_output.h"
#include "source.h"
#include "thumbnail.h"

class Transcoder {
public:
    Transcoder(Source& source, PspOutput& output, const EncodeOptions& options);

    // Converts the whole source. Throws Failure when the source yields no
    // picture at all or any stage fails.
    void Run();

    // The picture for the thumbnail; null when no frame was encoded.
    const AVFrame* thumbnail() const { return picker_.chosen(); }

private:
    void DecodeVideo(const AVPacket* packet);
    void DecodeAudio(const AVPacket* packet);
    void StartVideoChain(const AVFrame* first);
    void DrainVideo();
    void CheckComplete() const;  // throws Failure for a source cut short

    Source& source_;
    PspOutput& output_;
    const EncodeOptions& options_;
    std::unique_ptr<FilterChain> video_chain_;  // built for the first picture
    ThumbnailPicker picker_;
    av::Frame decoded_;
    av::Frame filtered_;
    AudioTrack audio_track_;
    AudioWorker audio_worker_;  // after audio_track_: stops before it goes

    int64_t video_offset_ = 0;    // source start, in the video stream's time base
    int64_t audio_offset_ = 0;    // the same in the audio stream's time base
    int64_t next_video_pts_ = 0;  // end of the last decoded picture (video stream tb)
    int64_t decoded_pictures_ = 0;
    int64_t damaged_packets_ = 0;
};
