#include "psp_output.h"

#include <algorithm>
#include <vector>

extern "C" {
#include <libavutil/opt.h>
}

#include "h264_level.h"
#include "mpeg4_colour.h"

namespace {

// Opens an encoder with private options and insists that every option was
// understood: a silently ignored setting would be a quietly worse file.
void OpenEncoder(AVCodecContext* ctx, const AVCodec* codec, const char* options) {
    AVDictionary* raw = nullptr;
    av::Check(av_dict_parse_string(&raw, options, "=", ":", 0), "encoder options");
    const int result = avcodec_open2(ctx, codec, &raw);
    const AVDictionaryEntry* left = av_dict_get(raw, "", nullptr, AV_DICT_IGNORE_SUFFIX);
    const std::string unknown = left ? left->key : "";
    av_dict_free(&raw);
    if (result < 0)
        throw Failure(FailureReason::Internal,
                      std::string("cannot start the ") + codec->name + " encoder: " + av::ErrorText(result));
    if (!unknown.empty())
        throw Failure(FailureReason::Internal, std::string(codec->name) + " encoder: unknown option " + unknown);
}

const AVCodec* FindEncoder(AVCodecID id) {
    const AVCodec* codec = avcodec_find_encoder(id);
    if (!codec) throw Failure(FailureReason::Internal, std::string("this build has no ") + avcodec_get_name(id) + " encoder");
    return codec;
}

// What every picture encoder here shares: size, square pixels, 4:2:0,
// the constant frame rate and the asked bit rate.
av::Codec NewVideoEncoder(const AVCodec* codec, const EncodeOptions& o, const PictureColours& colours,
                          bool global_header) {
    av::Codec ctx = av::NewCodec(codec);
    ctx->width = o.width;
    ctx->height = o.height;
    ctx->sample_aspect_ratio = {1, 1};
    ctx->pix_fmt = AV_PIX_FMT_YUV420P;
    ctx->time_base = {o.frame_rate.den, o.frame_rate.num};
    ctx->framerate = {o.frame_rate.num, o.frame_rate.den};
    ctx->bit_rate = o.video_bit_rate;
    if (global_header) ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    // x264 writes these into its VUI; MPEG-4 gets them below.
    if (colours.converted()) {
        ctx->color_primaries = kOutputPrimaries;
        ctx->color_trc = kOutputTransfer;
        ctx->colorspace = kOutputMatrix;
        ctx->color_range = AVCOL_RANGE_MPEG;
    }
    return ctx;
}

// The encoder's headers (extradata, where the muxer takes them from) with
// the colours stated.
void DescribeColours(AVCodecContext* ctx) {
    if (!ctx->extradata || ctx->extradata_size <= 0) return;
    std::vector<uint8_t> headers(ctx->extradata, ctx->extradata + ctx->extradata_size);
    if (!DescribeMpeg4Colours(&headers, ctx->color_primaries, ctx->color_trc, ctx->colorspace)) return;
    auto* data = static_cast<uint8_t*>(av_mallocz(headers.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!data) throw Failure(FailureReason::Internal, "out of memory");
    std::copy(headers.begin(), headers.end(), data);
    av_free(ctx->extradata);
    ctx->extradata = data;
    ctx->extradata_size = static_cast<int>(headers.size());
}

av::Codec OpenMpeg4Encoder(const EncodeOptions& o, const PictureColours& colours, bool global_header) {
    const AVCodec* codec = FindEncoder(AV_CODEC_ID_MPEG4);
    av::Codec ctx = NewVideoEncoder(codec, o, colours, global_header);
    // Simple Profile: the PSP decodes nothing else. That rules out B-frames,
    // quarter-pel and global motion compensation. 4MV would be allowed but
    // gains nothing measurable at these sizes and rates (under 0.0001 SSIM)
    // for a third more encoding time.
    ctx->profile = FF_PROFILE_MPEG4_SIMPLE;
    ctx->max_b_frames = 0;
    // A key frame at least every 10 s keeps seeking on the PSP usable and
    // leaves the bits to the other frames (scene cuts still get their own);
    // at 450 kbit/s this alone is worth more than any other setting here.
    ctx->gop_size = 300;
    // Slices would cost quality; the encoder has a thread of its own instead.
    ctx->thread_count = 1;
    // The rate control's default tolerance is a fixed 4 Mbit, which at low
    // rates lets busy pictures overshoot by 10 % and more; a second's worth
    // keeps every rate within a few percent of what was asked.
    ctx->bit_rate_tolerance = o.video_bit_rate;
    // Macroblock types chosen by SATD: close to the picture of the
    // rate-distortion decision (0.0004 to 0.0023 SSIM less at 450 kbit/s)
    // for a fraction of its cost; that decision tripled the encoding time
    // and made the encoder the slowest stage of the conversion. Two motion
    // vector predictors from the previous picture as well: 0.0001 (busy
    // clip) and 0.0004 (calm) SSIM more.
    OpenEncoder(ctx.get(), codec, "mbcmp=satd:last_pred=2");
    if (colours.converted()) DescribeColours(ctx.get());
    return ctx;
}

av::Codec OpenH264Encoder(const EncodeOptions& o, const PictureColours& colours, bool global_header) {
    const AVCodec* codec = avcodec_find_encoder_by_name("libx264");
    if (!codec) throw Failure(FailureReason::Internal, "this build has no H.264 encoder (libx264)");
    av::Codec ctx = NewVideoEncoder(codec, o, colours, global_header);
    // What the PSP's AVC decoder takes: Main Profile, level 2.1, at most two
    // reference frames. B-frames are no pyramid: as references they would
    // raise the stream's stated reference count to four.
    ctx->level = h264_level::kLevelIdc;
    ctx->refs = 2;
    // A key frame at least every 10 s, as for MPEG-4; scene cuts get theirs.
    ctx->gop_size = 300;
    // The level's own buffer: any stream inside it decodes on a level-2.1
    // decoder, and at the PSP's rates it never squeezes a busy scene.
    ctx->rc_max_rate = h264_level::kMaxBitRate;
    ctx->rc_buffer_size = h264_level::kMaxBufferBits;
    // Frame threads only: sliced threads cut each picture into slices, and
    // the PSP does not decode multi-slice pictures. One thread per core and
    // a half, as x264 chooses by itself.
    ctx->thread_count = 0;
    ctx->thread_type = FF_THREAD_FRAME;
    // Preset "faster" with the sub-pixel search of "fast" (5, one step
    // lighter than its 6), mixed references, the diamond motion search and
    // variance AQ that adapts its strength to each picture: on the clips of
    // bench/encoder-bench at 450 kbit/s the diamond search ran 4-6 % fewer
    // instructions than the hexagon for the same SSIM, and the adaptive AQ
    // gained 0.0002-0.0004 SSIM on the busy clip at no cost. Plain "faster"
    // loses 0.0009 SSIM on the busy clip, trellis off or a shorter
    // look-ahead 0.0006-0.0009 (bench/x264-settings).
    ctx->me_subpel_quality = 5;
    OpenEncoder(ctx.get(), codec, "preset=faster:mixed-refs=1:motion-est=dia:aq-mode=2:profile=main:b-pyramid=none");
    return ctx;
}

av::Codec OpenVideoEncoder(const EncodeOptions& o, const PictureColours& colours, bool global_header) {
    return o.video_codec == VideoCodec::H264 ? OpenH264Encoder(o, colours, global_header)
                                             : OpenMpeg4Encoder(o, colours, global_header);
}

av::Codec OpenAudioEncoder(const EncodeOptions& o, bool global_header) {
    const AVCodec* codec = FindEncoder(AV_CODEC_ID_AAC);
    av::Codec ctx = av::NewCodec(codec);
    ctx->sample_fmt = AV_SAMPLE_FMT_FLTP;
    ctx->sample_rate = o.sample_rate;
    av_channel_layout_default(&ctx->ch_layout, o.channels);
    ctx->bit_rate = o.audio_bit_rate;
    ctx->profile = FF_PROFILE_AAC_LOW;
    ctx->time_base = {1, o.sample_rate};
    if (global_header) ctx->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    OpenEncoder(ctx.get(), codec, "");
    return ctx;
}

AVStream* AddStream(AVFormatContext* format, AVCodecContext* encoder) {
    AVStream* st = avformat_new_stream(format, nullptr);
    if (!st) throw Failure(FailureReason::Internal, "out of memory");
    av::Check(avcodec_parameters_from_context(st->codecpar, encoder), "stream parameters");
    st->time_base = encoder->time_base;
    return st;
}

}  // namespace

PspOutput::PspOutput(const std::string& path, const EncodeOptions& options, const PictureColours& colours)
    : video_packet_(av::NewPacket()), audio_packet_(av::NewPacket()) {
    AVFormatContext* raw = nullptr;
    av::Check(avformat_alloc_output_context2(&raw, nullptr, "psp", path.c_str()), "psp muxer");
    format_.reset(raw);
    const bool global = raw->oformat->flags & AVFMT_GLOBALHEADER;
    video_ = OpenVideoEncoder(options, colours, global);
    audio_ = OpenAudioEncoder(options, global);

    // The muxer's profile box assumes stream 0 is the picture, 1 the sound,
    // and takes the frame rate from avg_frame_rate.
    video_stream_ = AddStream(raw, video_.get());
    video_stream_->avg_frame_rate = video_->framerate;
    video_stream_->r_frame_rate = video_->framerate;
    audio_stream_ = AddStream(raw, audio_.get());
    if (!options.title.empty()) av::Check(av_dict_set(&raw->metadata, "title", options.title.c_str(), 0), "title");

    const int opened = avio_open(&raw->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (opened < 0)
        throw Failure(OutputFailureReason(opened), path + ": cannot create the output: " + av::ErrorText(opened));
    av::CheckWrite(avformat_write_header(raw, nullptr), "writing the output");
}

void PspOutput::EncodeVideo(AVFrame* frame) {
    if (frame) {
        // The decoder's picture type would otherwise force the encoder's
        // choice of key frames.
        frame->pict_type = AV_PICTURE_TYPE_NONE;
        ++video_frames_;
    }
    Encode(video_.get(), video_stream_, video_packet_.get(), frame);
    // pts counts the output's frames: this one ends a frame later.
    if (frame && progress_)
        progress_->Advance(av_rescale_q(frame->pts + 1, video_->time_base, AV_TIME_BASE_Q), video_frames_);
}

void PspOutput::EncodeAudio(AVFrame* frame) { Encode(audio_.get(), audio_stream_, audio_packet_.get(), frame); }

void PspOutput::Encode(AVCodecContext* encoder, AVStream* stream, AVPacket* packet, AVFrame* frame) {
    av::Check(avcodec_send_frame(encoder, frame), encoder == video_.get() ? "encoding the picture" : "encoding the sound");
    for (;;) {
        const int result = avcodec_receive_packet(encoder, packet);
        if (result == AVERROR(EAGAIN) || result == AVERROR_EOF) return;
        av::Check(result, encoder == video_.get() ? "encoding the picture" : "encoding the sound");
        av_packet_rescale_ts(packet, encoder->time_base, stream->time_base);
        packet->stream_index = stream->index;
        std::lock_guard<std::mutex> lock(mux_mutex_);
        if (stream == audio_stream_) ++audio_packets_;
        // Takes the packet's data; the packet is blank again afterwards.
        av::CheckWrite(av_interleaved_write_frame(format_.get(), packet), "writing the output");
    }
}

void PspOutput::Finish() {
    EncodeVideo(nullptr);
    EncodeAudio(nullptr);
    if (video_frames_ == 0 || audio_packets_ == 0)
        throw Failure(FailureReason::SourceDamaged, "nothing usable came out of the source; the file is damaged");
    av::CheckWrite(av_write_trailer(format_.get()), "finishing the output");
    // Buffered data reaches the disk here: a full disk shows up now.
    av::CheckWrite(format_->pb->error, "writing the output");
    av::CheckWrite(avio_closep(&format_->pb), "writing the output");
}
