#include "thumbnail.h"

#include <cmath>

namespace {

constexpr int kWidth = 160, kHeight = 120;

// Spread of the brightness over a coarse grid of the picture: near zero for
// black, white or flat frames, large for pictures with content.
double Contrast(const AVFrame* f) {
    double sum = 0, squares = 0;
    int n = 0;
    for (int y = 0; y < f->height; y += 4) {
        const uint8_t* row = f->data[0] + static_cast<ptrdiff_t>(y) * f->linesize[0];
        for (int x = 0; x < f->width; x += 4, ++n) {
            sum += row[x];
            squares += static_cast<double>(row[x]) * row[x];
        }
    }
    if (n == 0) return 0;
    const double mean = sum / n;
    return std::sqrt(std::max(0.0, squares / n - mean * mean));
}

constexpr double kEnoughContrast = 20.0;  // out of 255: clearly not a blank frame

}  // namespace

ThumbnailPicker::ThumbnailPicker(AVRational frame_rate, double duration) {
    const double fps = av_q2d(frame_rate);
    step_ = std::max<int64_t>(1, std::llround(fps / 2));  // two looks per second
    // Prefer a picture from a little way in (a tenth of the video, at most
    // 5 s) over the opening frames, which are often titles or a fade.
    start_ = std::llround(std::min(5.0, duration / 10) * fps);
}

void ThumbnailPicker::Offer(const AVFrame* frame, int64_t number) {
    if (settled_ || number % step_ != 0) return;
    const double score = Contrast(frame);
    // From `start_` on, the first picture with content wins; before that,
    // and when none ever has content, the one with the most.
    const bool good = number >= start_ && score >= kEnoughContrast;
    if (!good && score <= best_score_) return;
    best_score_ = std::max(best_score_, score);
    settled_ = good;
    if (!chosen_) chosen_ = av::NewFrame();
    av_frame_unref(chosen_.get());
    av::Check(av_frame_ref(chosen_.get(), frame), "keeping the thumbnail picture");
}

void WriteThumbnail(const AVFrame* frame, const std::string& path) {
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    if (!codec) throw Failure(FailureReason::Internal, "this build has no JPEG encoder");
    av::Codec ctx = av::NewCodec(codec);
    ctx->width = kWidth;
    ctx->height = kHeight;
    // JPEG uses the full 0-255 range; the yuvj format makes the scaler
    // expand the video's 16-235.
    ctx->pix_fmt = AV_PIX_FMT_YUVJ420P;
    ctx->time_base = {1, 25};
    ctx->flags |= AV_CODEC_FLAG_QSCALE;
    ctx->global_quality = FF_QP2LAMBDA * 3;  // fine quality; the file stays a few KB
    av::Check(avcodec_open2(ctx.get(), codec, nullptr), "JPEG encoder");

    av::Frame small = av::NewFrame();
    small->format = ctx->pix_fmt;
    small->width = kWidth;
    small->height = kHeight;
    av::Check(av_frame_get_buffer(small.get(), 0), "thumbnail picture");
    av::Sws sws(sws_getContext(frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                               kWidth, kHeight, ctx->pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr));
    if (!sws) throw Failure(FailureReason::Internal, "cannot scale the thumbnail");
    av::Check(sws_scale(sws.get(), frame->data, frame->linesize, 0, frame->height, small->data,
                        small->linesize),
              "thumbnail scaling");
    small->pts = 0;

    av::Packet jpeg = av::NewPacket();
    av::Check(avcodec_send_frame(ctx.get(), small.get()), "JPEG encoding");
    av::Check(avcodec_receive_packet(ctx.get(), jpeg.get()), "JPEG encoding");

    AVIOContext* raw = nullptr;
    const int opened = avio_open(&raw, path.c_str(), AVIO_FLAG_WRITE);
    if (opened < 0)
        throw Failure(OutputFailureReason(opened), path + ": cannot create the thumbnail: " + av::ErrorText(opened));
    av::Io file(raw);
    avio_write(file.get(), jpeg->data, jpeg->size);
    avio_flush(file.get());
    av::CheckWrite(file->error, "writing the thumbnail");
    raw = file.release();
    av::CheckWrite(avio_closep(&raw), "writing the thumbnail");
}
