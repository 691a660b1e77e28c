#include "transcoder.h"

#include <algorithm>
#include <cstdio>

namespace {

std::string Fraction(AVRational r) { return std::to_string(r.num) + "/" + std::to_string(r.den); }

std::string VideoSourceArgs(const AVFrame* f, AVRational time_base) {
    const AVRational sar = f->sample_aspect_ratio.num > 0 ? f->sample_aspect_ratio : AVRational{1, 1};
    return "video_size=" + std::to_string(f->width) + "x" + std::to_string(f->height) +
           ":pix_fmt=" + std::to_string(f->format) + ":time_base=" + Fraction(time_base) +
           ":pixel_aspect=" + Fraction(sar);
}

std::string VideoChain(const EncodeOptions& o, AVRational source_rate) {
    // The picture is stretched to exactly WxH with square pixels, as the
    // program asks. Frames are repeated or dropped for a constant rate;
    // dropping before scaling saves work when the source has more frames.
    const AVRational target{o.frame_rate.num, o.frame_rate.den};
    const std::string rate = "fps=fps=" + Fraction(target) + ":start_time=0";
    const std::string scale = "scale=" + std::to_string(o.width) + ":" + std::to_string(o.height) +
                              ":flags=bicubic,setsar=1";
    const bool more_frames = source_rate.num > 0 && source_rate.den > 0 && av_cmp_q(source_rate, target) > 0;
    return (more_frames ? rate + "," + scale : scale + "," + rate) + ",format=yuv420p";
}

// How decoders report a damaged packet or picture (after logging what is
// wrong): it is skipped, as ffmpeg does.
bool IsDamage(int result) { return result == AVERROR_INVALIDDATA || result == AVERROR(EINVAL); }

}  // namespace

Transcoder::Transcoder(Source& source, PspOutput& output, const EncodeOptions& options)
    : source_(source), output_(output), options_(options), decoded_(av::NewFrame()),
      video_track_(output, source.declared_duration()), audio_track_(output, options),
      // Short queues: a few pictures; about a second of decoded sound.
      video_worker_(video_track_, 8), audio_worker_(audio_track_, 48) {
    AVStream* vs = source.video_stream();
    video_offset_ = av_rescale_q(source.start_time(), AV_TIME_BASE_Q, vs->time_base);
    next_video_pts_ = video_offset_;
    if (AVStream* as = source.audio_stream())
        audio_offset_ = av_rescale_q(source.start_time(), AV_TIME_BASE_Q, as->time_base);
}

void Transcoder::Run() {
    av::Packet packet = av::NewPacket();
    const int video_index = source_.video_stream()->index;
    while (source_.ReadPacket(packet.get())) {
        if (packet->stream_index == video_index)
            DecodeVideo(packet.get());
        else
            DecodeAudio(packet.get());
        av_packet_unref(packet.get());
    }

    DecodeVideo(nullptr);  // the decoder's delayed pictures
    if (decoded_pictures_ == 0)
        throw Failure(source_.path() + ": no picture could be decoded; the file is damaged, truncated or not supported");
    CheckComplete();
    // The last picture keeps its full duration in the constant-rate output.
    video_chain_->Close(next_video_pts_ - video_offset_);
    DrainVideo();
    const AVRational encoder_tb = output_.video_encoder()->time_base;
    video_worker_.Finish(filtered_pictures_, encoder_tb);

    if (source_.audio_stream()) DecodeAudio(nullptr);
    // Sound shorter than the picture is completed with silence.
    audio_worker_.Finish(filtered_pictures_, encoder_tb);
}

void Transcoder::CheckComplete() const {
    // A file cut short (an unfinished download, a full disk) still carries
    // its full length in the header. Converting what is left would hand the
    // user a video that silently stops early, so it counts as a failure;
    // a small shortfall is normal (rounding, a last frame left out).
    const int64_t declared = source_.declared_video_duration();
    const int64_t start = source_.video_start();
    if (declared <= 0 || start == AV_NOPTS_VALUE) return;
    const AVRational tb = source_.video_stream()->time_base;
    const double expected = declared * av_q2d(tb);
    const double obtained = (next_video_pts_ - start) * av_q2d(tb);
    if (obtained < expected * 0.97 - 1.0) {
        char text[160];
        snprintf(text, sizeof text, ": the video ends after %.1f s of its %.1f s; the file is truncated or damaged",
                 obtained, expected);
        throw Failure(source_.path() + text);
    }
}

void Transcoder::StartVideoChain(const AVFrame* first) {
    const AVStream* vs = source_.video_stream();
    video_chain_ = std::make_unique<FilterChain>(
        "buffer", VideoSourceArgs(first, vs->time_base),
        VideoChain(options_, vs->avg_frame_rate.num ? vs->avg_frame_rate : vs->r_frame_rate));
}

void Transcoder::DecodeVideo(const AVPacket* packet) {
    AVCodecContext* dec = source_.video_decoder();
    int result = avcodec_send_packet(dec, packet);
    if (result < 0 && IsDamage(result)) return;  // the decoder has said what is wrong
    av::Check(result, "decoding the video");
    for (;;) {
        result = avcodec_receive_frame(dec, decoded_.get());
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return;
        if (IsDamage(result)) continue;
        av::Check(result, "decoding the video");
        ++decoded_pictures_;
        AVFrame* f = decoded_.get();
        const int64_t pts = f->best_effort_timestamp;
        f->pts = (pts == AV_NOPTS_VALUE ? next_video_pts_ : pts) - video_offset_;
        int64_t duration = f->pkt_duration;
        if (duration <= 0) {
            const AVStream* vs = source_.video_stream();
            const AVRational rate = vs->avg_frame_rate.num ? vs->avg_frame_rate : AVRational{25, 1};
            duration = std::max<int64_t>(1, av_rescale_q(1, av_inv_q(rate), vs->time_base));
        }
        next_video_pts_ = std::max(next_video_pts_, f->pts + video_offset_ + duration);
        if (!video_chain_) StartVideoChain(f);
        video_chain_->Push(f);
        av_frame_unref(f);
        DrainVideo();
    }
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
    AVCodecContext* dec = source_.audio_decoder();
    int result = avcodec_send_packet(dec, packet);
    if (result < 0 && IsDamage(result)) return;  // the decoder has said what is wrong
    av::Check(result, "decoding the sound");
    for (;;) {
        av::Frame frame = av::NewFrame();
        result = avcodec_receive_frame(dec, frame.get());
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return;
        if (IsDamage(result)) continue;
        av::Check(result, "decoding the sound");
        const int64_t pts = frame->best_effort_timestamp;
        frame->pts = pts == AV_NOPTS_VALUE ? AV_NOPTS_VALUE
                                           : av_rescale_q(pts - audio_offset_, source_.audio_stream()->time_base,
                                                          {1, frame->sample_rate});
        audio_worker_.Add(std::move(frame));
    }
}
