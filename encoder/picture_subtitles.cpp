#include "picture_subtitles.h"

#include <algorithm>
#include <limits>

#include "subtitle_reader.h"

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace {

// How long a subtitle that states no end stays up, unless the next one
// replaces it first.
constexpr int64_t kLongestUnstated = 10 * AV_TIME_BASE;

bool DrawablePixels(const AVPixFmtDescriptor* d) {
    if (!d || d->nb_components < 3 || (d->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL |
                                                   AV_PIX_FMT_FLAG_HWACCEL | AV_PIX_FMT_FLAG_BITSTREAM |
                                                   AV_PIX_FMT_FLAG_BE)))
        return false;
    if (!(d->flags & AV_PIX_FMT_FLAG_PLANAR)) return false;
    for (int i = 0; i < 3; ++i)
        if (d->comp[i].plane != i || d->comp[i].depth != 8 || d->comp[i].step != 1) return false;
    return true;
}

}  // namespace

PictureSubtitles::PictureSubtitles(const std::string& path, int stream_index, bool forced_lines_only) {
    SubtitleReader reader(path, stream_index);
    canvas_w_ = reader.decoder().width;
    canvas_h_ = reader.decoder().height;

    av::Subtitle sub;
    while (reader.Next(&sub)) {
        const int64_t pts = sub.value.pts;
        Shown shown;
        shown.start = pts + int64_t{sub.value.start_display_time} * 1000;
        const uint32_t end_ms = sub.value.end_display_time;
        shown.end = end_ms > sub.value.start_display_time && end_ms != std::numeric_limits<uint32_t>::max()
                        ? pts + int64_t{end_ms} * 1000
                        : shown.start + kLongestUnstated;
        for (unsigned r = 0; r < sub.value.num_rects; ++r) {
            const AVSubtitleRect* rect = sub.value.rects[r];
            if (rect->type != SUBTITLE_BITMAP || rect->w <= 0 || rect->h <= 0 || !rect->data[1]) continue;
            if (forced_lines_only && !(rect->flags & AV_SUBTITLE_FLAG_FORCED)) continue;
            Bitmap bitmap{rect->x, rect->y, rect->w, rect->h, {}};
            bitmap.yuva.resize(static_cast<size_t>(rect->w) * rect->h * 4);
            const auto* palette = reinterpret_cast<const uint32_t*>(rect->data[1]);
            uint8_t* out = bitmap.yuva.data();
            for (int y = 0; y < rect->h; ++y) {
                for (int x = 0; x < rect->w; ++x, out += 4) {
                    const uint8_t index = rect->data[0][y * rect->linesize[0] + x];
                    const uint32_t argb = index < rect->nb_colors ? palette[index] : 0;
                    const int a = argb >> 24, r8 = (argb >> 16) & 255, g = (argb >> 8) & 255, b = argb & 255;
                    // BT.601, limited range: what DVD and broadcast pictures use.
                    out[0] = static_cast<uint8_t>(((66 * r8 + 129 * g + 25 * b + 128) >> 8) + 16);
                    out[1] = static_cast<uint8_t>(((-38 * r8 - 74 * g + 112 * b + 128) >> 8) + 128);
                    out[2] = static_cast<uint8_t>(((112 * r8 - 94 * g - 18 * b + 128) >> 8) + 128);
                    out[3] = static_cast<uint8_t>(a);
                }
            }
            shown.bitmaps.push_back(std::move(bitmap));
        }
        // A subtitle ends where the next begins at the latest (an empty one
        // just clears the screen).
        if (!shown_.empty() && shown_.back().end > shown.start) shown_.back().end = shown.start;
        if (!shown.bitmaps.empty()) shown_.push_back(std::move(shown));
    }
    std::stable_sort(shown_.begin(), shown_.end(), [](const Shown& a, const Shown& b) { return a.start < b.start; });
}

bool PictureSubtitles::Draw(AVFrame* frame, int64_t time_us) {
    const auto after = std::upper_bound(shown_.begin(), shown_.end(), time_us,
                                        [](int64_t t, const Shown& s) { return t < s.start; });
    if (after == shown_.begin() || (after - 1)->end <= time_us) return true;
    if (!DrawablePixels(av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format)))) return false;
    // The decoder may still hold the picture as a reference.
    av::Check(av_frame_make_writable(frame), "drawing subtitles");
    for (const Bitmap& bitmap : (after - 1)->bitmaps) DrawBitmap(frame, bitmap);
    return true;
}

void PictureSubtitles::DrawBitmap(AVFrame* frame, const Bitmap& b) const {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format));
    // Positions refer to the subtitles' own frame; a picture of another
    // size gets them stretched to its own (nearest pixel).
    const int64_t cw = canvas_w_ > 0 ? canvas_w_ : frame->width, ch = canvas_h_ > 0 ? canvas_h_ : frame->height;
    const int x0 = static_cast<int>(std::max<int64_t>(0, b.x * frame->width / cw));
    const int y0 = static_cast<int>(std::max<int64_t>(0, b.y * frame->height / ch));
    const int x1 = static_cast<int>(std::min<int64_t>(frame->width, (b.x + b.w) * frame->width / cw));
    const int y1 = static_cast<int>(std::min<int64_t>(frame->height, (b.y + b.h) * frame->height / ch));
    auto source = [&](int x, int y) {
        const int sx = std::clamp(static_cast<int>(x * cw / frame->width) - b.x, 0, b.w - 1);
        const int sy = std::clamp(static_cast<int>(y * ch / frame->height) - b.y, 0, b.h - 1);
        return &b.yuva[(static_cast<size_t>(sy) * b.w + sx) * 4];
    };
    auto blend = [](uint8_t* dst, uint8_t value, int alpha) {
        *dst = static_cast<uint8_t>((*dst * (255 - alpha) + value * alpha + 127) / 255);
    };
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint8_t* p = source(x, y);
            if (p[3]) blend(frame->data[0] + y * frame->linesize[0] + x, p[0], p[3]);
        }
    // Each colour sample takes the pixel at its top left.
    const int sw = d->log2_chroma_w, sh = d->log2_chroma_h;
    for (int cy = y0 >> sh; cy << sh < y1; ++cy)
        for (int cx = x0 >> sw; cx << sw < x1; ++cx) {
            const int x = std::max(cx << sw, x0), y = std::max(cy << sh, y0);
            const uint8_t* p = source(x, y);
            if (!p[3]) continue;
            blend(frame->data[1] + cy * frame->linesize[1] + cx, p[1], p[3]);
            blend(frame->data[2] + cy * frame->linesize[2] + cx, p[2], p[3]);
        }
}
