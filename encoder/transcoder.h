#pragma once
// Decode -> filter -> encode -> mux for one file. Reading, decoding and the
// picture's filters run on the calling thread; the sound's filters and
// encoder, and the picture's encoder, each on a worker of their own. At the
// end of the source the decoders, filter chains and encoders are flushed in
// order.
#include <memory>

#include "audio_track.h"
#include "filter_chain.h"
#include "options.h"
#include "picture_colours.h"
#include "psp_output.h"
#include "source.h"
#include "source_timeline.h"
#include "subtitle_burner.h"
#include "track_worker.h"
#include "video_track.h"

class Transcoder {
public:
    // colours: what the picture's way to BT.601 needs (ColoursOf).
    Transcoder(Source& source, PspOutput& output, const EncodeOptions& options, const PictureColours& colours);

    // Converts the whole source. Damaged packets are skipped; throws
    // Failure when no picture or none of the sound can be decoded, when the
    // source ends well before its stated length, or when any stage fails.
    void Run();

    // The picture for the thumbnail; null when no frame was encoded.
    const AVFrame* thumbnail() const { return video_track_.thumbnail(); }
    // Why subtitles asked for were left out; "" when none were.
    std::string subtitle_warning() const { return subtitles_ ? subtitles_->warning() : ""; }

private:
    void DecodeVideo(const AVPacket* packet);
    void DecodeAudio(const AVPacket* packet);
    void StartVideoChain(const AVFrame* first);
    void DrainVideo();
    void CheckComplete() const;  // throws Failure for a source cut short

    Source& source_;
    PspOutput& output_;
    const EncodeOptions& options_;
    const PictureColours colours_;
    std::unique_ptr<SubtitleBurner> subtitles_;  // null without -sub
    std::unique_ptr<FilterChain> video_chain_;  // built for the first picture
    av::Frame decoded_;
    SourceTimeline timeline_;  // stream 0 the picture, 1 the sound
    VideoTrack video_track_;
    AudioTrack audio_track_;
    // After the tracks: the threads stop before the tracks go.
    TrackWorker video_worker_;
    TrackWorker audio_worker_;

    int64_t decoded_pictures_ = 0;
    int64_t sound_packets_ = 0;
    int64_t decoded_sounds_ = 0;
    int64_t filtered_pictures_ = 0;  // handed to the picture's encoder
};
