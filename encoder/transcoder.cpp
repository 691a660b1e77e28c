#include "transcoder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

extern "C" {
#include <libavutil/display.h>
}

#include "picture_fit.h"
#include "sound_choice.h"

namespace {

// A source that ends more than this much before its stated length is
// incomplete: both the seconds and the share must be exceeded.
constexpr double kMissingSeconds = 1.0;
constexpr double kMissingShare = 0.05;

std::string Fraction(AVRational r) { return std::to_string(r.num) + "/" + std::to_string(r.den); }

std::string VideoSourceArgs(const AVFrame* f, AVRational time_base) {
    const AVRational sar = f->sample_aspect_ratio.num > 0 ? f->sample_aspect_ratio : AVRational{1, 1};
    return "video_size=" + std::to_string(f->width) + "x" + std::to_string(f->height) +
           ":pix_fmt=" + std::to_string(f->format) + ":time_base=" + Fraction(time_base) +
           ":pixel_aspect=" + Fraction(sar);
}

// The filters that turn the picture upright when the file says it is to be
// shown rotated (phones record sideways and say so in a display matrix), as
// ffmpeg's command line does by default. Angles other than multiples of 90
// are left as they are.
struct Upright {
    std::string filters;  // empty: nothing to do
    bool swaps_sides = false;
};

Upright UprightFilters(const int32_t* matrix) {
    if (!matrix) return {};
    // The matrix turns counter-clockwise; the picture must turn back.
    double theta = -std::round(av_display_rotation_get(matrix));
    theta -= 360 * std::floor(theta / 360 + 0.9 / 360);
    if (std::fabs(theta - 90) < 1) return {matrix[3] > 0 ? "transpose=cclock_flip" : "transpose=clock", true};
    if (std::fabs(theta - 270) < 1) return {matrix[3] < 0 ? "transpose=clock_flip" : "transpose=cclock", true};
    if (std::fabs(theta - 180) < 1) {
        std::string flips;
        if (matrix[0] < 0) flips = "hflip";
        if (matrix[4] < 0) flips += flips.empty() ? "vflip" : ",vflip";
        return {flips, false};
    }
    if (std::fabs(theta) < 1 && matrix[4] < 0) return {"vflip", false};
    return {};
}

// The scaler and what comes after it: the picture scaled, turned upright,
// its pixels declared square, and for -fit placed in the frame.
std::string ScaleAndPlace(const EncodeOptions& o, const AVFrame* first, const Upright& upright) {
    PictureSource source;
    source.width = first->width;
    source.height = first->height;
    source.sample_aspect = {first->sample_aspect_ratio.num, first->sample_aspect_ratio.den};
    source.turned_sideways = upright.swaps_sides;
    const PicturePlacement place = PlacePicture(source, o.fit, o.width, o.height);
    // Turning it upright comes after scaling (to the sides swapped), where
    // the picture is small; the scaler also absorbs a frame size that
    // changes mid-file, which the turning filters would not, and hands the
    // padding and cropping a picture of one fixed size.
    const int w = upright.swaps_sides ? place.height : place.width;
    const int h = upright.swaps_sides ? place.width : place.height;
    std::string chain = "scale=" + std::to_string(w) + ":" + std::to_string(h) + ":flags=bicubic";
    if (!upright.filters.empty()) chain += "," + upright.filters;
    chain += ",setsar=1";
    const std::string frame = std::to_string(o.width) + ":" + std::to_string(o.height) + ":" +
                              std::to_string(place.x) + ":" + std::to_string(place.y);
    if (o.fit == PictureFit::Pad) chain += ",pad=" + frame + ":color=black";
    if (o.fit == PictureFit::Crop) chain += ",crop=" + frame;
    return chain;
}

std::string VideoChain(const EncodeOptions& o, AVRational source_rate, const std::string& scale_and_place) {
    // Without -fit the picture is stretched to exactly WxH with square
    // pixels, as the program asks. Frames are repeated or dropped for a
    // constant rate; dropping before scaling saves work when the source has
    // more frames.
    const AVRational target{o.frame_rate.num, o.frame_rate.den};
    const std::string rate = "fps=fps=" + Fraction(target) + ":start_time=0";
    const bool more_frames = source_rate.num > 0 && source_rate.den > 0 && av_cmp_q(source_rate, target) > 0;
    return (more_frames ? rate + "," + scale_and_place : scale_and_place + "," + rate) + ",format=yuv420p";
}

enum TimelineStream { kPicture, kSound };

[[noreturn]] void OutOfMemory() { throw Failure(FailureReason::Internal, "out of memory"); }

// Feeds a packet (null: the end of the stream) to a decoder and hands every
// frame that comes out to `take`. Damaged packets and pictures are skipped,
// as ffmpeg's command line does; only running out of memory stops the run.
template <typename Take>
void Decode(AVCodecContext* decoder, const AVPacket* packet, AVFrame* frame, Take take) {
    // A decoder that is full takes the packet after its frames are collected.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int sent = avcodec_send_packet(decoder, packet);
        if (sent == AVERROR(ENOMEM)) OutOfMemory();
        // An error does not stop the decoder: the next call goes on, so a
        // bounded number of them is passed over.
        for (int errors = 0; errors < 64;) {
            const int result = avcodec_receive_frame(decoder, frame);
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) break;
            if (result == AVERROR(ENOMEM)) OutOfMemory();
            if (result < 0) {
                ++errors;
                continue;
            }
            take(frame);
            av_frame_unref(frame);
        }
        if (sent != AVERROR(EAGAIN)) return;
    }
}

}  // namespace

Transcoder::Transcoder(Source& source, PspOutput& output, const EncodeOptions& options)
    : source_(source), output_(output), options_(options), decoded_(av::NewFrame()),
      timeline_(source.start_time(), 2),
      video_track_(output, source.length_hint()), audio_track_(output, options),
      // Short queues: a few pictures; about a second of decoded sound.
      video_worker_(video_track_, 8), audio_worker_(audio_track_, 48) {
    if (options.burn_subtitles) {
        const bool chinese_sound = options.chinese_sound && source.audio_stream() && IsChineseSound(source.audio_stream());
        subtitles_ = std::make_unique<SubtitleBurner>(source.path(), source.start_time(), chinese_sound);
    }
}

void Transcoder::Run() {
    av::Packet packet = av::NewPacket();
    const int video_index = source_.video_stream()->index;
    while (source_.ReadPacket(packet.get())) {
        if (packet->stream_index == video_index) {
            DecodeVideo(packet.get());
        } else {
            ++sound_packets_;
            DecodeAudio(packet.get());
        }
        av_packet_unref(packet.get());
    }
    // The decoders' delayed frames.
    DecodeVideo(nullptr);
    if (source_.audio_stream()) DecodeAudio(nullptr);

    if (decoded_pictures_ == 0)
        throw Failure(FailureReason::SourceDamaged,
                      source_.path() + ": no picture could be decoded; the file is damaged");
    if (sound_packets_ > 0 && decoded_sounds_ == 0)
        throw Failure(FailureReason::SourceDamaged,
                      source_.path() + ": none of the sound could be decoded; the file is damaged");
    CheckComplete();

    // Picture and sound end together, as the PSP's player needs: the shorter
    // one is completed, the picture with its last frame, the sound with
    // silence. The last picture keeps its full duration.
    video_chain_->Close(timeline_.end(source_.video_stream()->time_base));
    DrainVideo();
    const AVRational encoder_tb = output_.video_encoder()->time_base;
    video_worker_.Finish(filtered_pictures_, encoder_tb);
    audio_worker_.Finish(filtered_pictures_, encoder_tb);
}

void Transcoder::CheckComplete() const {
    // A file cut short (an unfinished download, a full disk) still carries
    // its full length in its header or index. Converting what is left would
    // hand the user a video that silently stops early, so it counts as a
    // failure; a small shortfall is normal (rounding, a last frame left out).
    const double stated = source_.stated_duration();
    const double obtained = timeline_.end_seconds();
    const double missing = stated - obtained;
    if (stated > 0 && missing > kMissingSeconds && missing > stated * kMissingShare) {
        char text[160];
        snprintf(text, sizeof text, ": the source ends at %.1f s of %.1f s; the file is incomplete", obtained,
                 stated);
        throw Failure(FailureReason::SourceIncomplete, source_.path() + text);
    }
}

void Transcoder::StartVideoChain(const AVFrame* first) {
    const AVStream* vs = source_.video_stream();
    const std::string chain =
        VideoChain(options_, vs->avg_frame_rate.num ? vs->avg_frame_rate : vs->r_frame_rate,
                   ScaleAndPlace(options_, first, UprightFilters(source_.display_matrix())));
    video_chain_ = std::make_unique<FilterChain>("buffer", VideoSourceArgs(first, vs->time_base), chain);
}

void Transcoder::DecodeVideo(const AVPacket* packet) {
    Decode(source_.video_decoder(), packet, decoded_.get(), [this](AVFrame* f) {
        if (f->width <= 0 || f->height <= 0 || f->format < 0) return;
        const AVStream* vs = source_.video_stream();
        int64_t duration = f->pkt_duration;
        if (duration <= 0) {
            const AVRational rate = vs->avg_frame_rate.num > 0 ? vs->avg_frame_rate : AVRational{25, 1};
            duration = std::max<int64_t>(1, av_rescale_q(1, av_inv_q(rate), vs->time_base));
        }
        f->pts = timeline_.Place(kPicture, f->best_effort_timestamp, duration, vs->time_base);
        ++decoded_pictures_;
        if (subtitles_)
            subtitles_->Draw(f, av_rescale_q(f->pts, vs->time_base, AV_TIME_BASE_Q) + source_.start_time());
        if (!video_chain_) StartVideoChain(f);
        video_chain_->Push(f);
        DrainVideo();
    });
}

void Transcoder::DrainVideo() {
    const AVRational encoder_tb = output_.video_encoder()->time_base;
    for (;;) {
        av::Frame frame = av::NewFrame();
        if (!video_chain_->Pull(frame.get())) return;
        frame->pts = av_rescale_q(frame->pts, video_chain_->output_time_base(), encoder_tb);
        video_worker_.Add(std::move(frame));
        ++filtered_pictures_;
        // Without sound in the source, silence is written along with the
        // picture so that the two interleave in the file.
        if (!source_.audio_stream()) audio_worker_.PadTo(filtered_pictures_, encoder_tb);
    }
}

void Transcoder::DecodeAudio(const AVPacket* packet) {
    Decode(source_.audio_decoder(), packet, decoded_.get(), [this](AVFrame* f) {
        if (f->sample_rate <= 0 || f->nb_samples <= 0 || f->ch_layout.nb_channels <= 0) return;
        const AVRational tb = source_.audio_stream()->time_base;
        const AVRational sample_tb{1, f->sample_rate};
        const int64_t placed = timeline_.Place(kSound, f->best_effort_timestamp,
                                               av_rescale_q(f->nb_samples, sample_tb, tb), tb);
        av::Frame frame = av::NewFrame();
        av_frame_move_ref(frame.get(), f);
        frame->pts = av_rescale_q(placed, tb, sample_tb);
        ++decoded_sounds_;
        audio_worker_.Add(std::move(frame));
    });
}
