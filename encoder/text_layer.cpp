#include "text_layer.h"

#include <algorithm>

namespace {

// libass's colour (0xRRGGBBAA, AA the transparency) as Y, U, V of 8 bits,
// in the picture's own matrix and range.
void ColourToYuv(uint32_t rgba, const AVFrame* frame, int yuv[3]) {
    const double r = rgba >> 24, g = (rgba >> 16) & 255, b = (rgba >> 8) & 255;
    const bool hd = frame->colorspace == AVCOL_SPC_BT709;
    const double kr = hd ? 0.2126 : 0.299, kb = hd ? 0.0722 : 0.114, kg = 1 - kr - kb;
    const double y = kr * r + kg * g + kb * b;
    const double u = (b - y) / (2 * (1 - kb)), v = (r - y) / (2 * (1 - kr));
    const bool full = frame->color_range == AVCOL_RANGE_JPEG;
    yuv[0] = static_cast<int>(full ? y + 0.5 : 16 + y * 219 / 255 + 0.5);
    yuv[1] = static_cast<int>(128 + (full ? u : u * 224 / 255) + 0.5);
    yuv[2] = static_cast<int>(128 + (full ? v : v * 224 / 255) + 0.5);
}

// a * b / 255, rounded, for a and b in 0..255.
unsigned Scale(unsigned a, unsigned b) { return (a * b + 127) / 255; }

}  // namespace

bool TextLayer::Drawable(const AVPixFmtDescriptor* d) {
    if (!d || d->nb_components < 3 ||
        (d->flags & (AV_PIX_FMT_FLAG_RGB | AV_PIX_FMT_FLAG_PAL | AV_PIX_FMT_FLAG_HWACCEL |
                     AV_PIX_FMT_FLAG_BITSTREAM | AV_PIX_FMT_FLAG_BE | AV_PIX_FMT_FLAG_FLOAT)) ||
        !(d->flags & AV_PIX_FMT_FLAG_PLANAR))
        return false;
    for (int i = 0; i < 3; ++i) {
        const AVComponentDescriptor& c = d->comp[i];
        if (c.plane != i || c.depth != d->comp[0].depth || c.shift != 0 || c.offset != 0) return false;
        if (c.step != (c.depth > 8 ? 2 : 1)) return false;
    }
    return d->comp[0].depth >= 8 && d->comp[0].depth <= 16;
}

void TextLayer::Plane::Reset(int x0, int y0, int x1, int y1) {
    x = x0;
    y = y0;
    w = std::max(0, x1 - x0);
    h = std::max(0, y1 - y0);
    cover.assign(static_cast<size_t>(w) * h, 0);
    for (auto& plane : value) plane.assign(cover.size(), 0);
}

void TextLayer::Compose(const ASS_Image* images, const AVFrame* frame) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format));
    depth_ = d->comp[0].depth;
    width_ = frame->width;
    height_ = frame->height;
    format_ = frame->format;
    colorspace_ = frame->colorspace;
    range_ = frame->color_range;
    int x0 = frame->width, y0 = frame->height, x1 = 0, y1 = 0;
    for (const ASS_Image* i = images; i; i = i->next) {
        x0 = std::min(x0, std::max(0, i->dst_x));
        y0 = std::min(y0, std::max(0, i->dst_y));
        x1 = std::max(x1, std::min(frame->width, i->dst_x + i->w));
        y1 = std::max(y1, std::min(frame->height, i->dst_y + i->h));
    }
    luma_.Reset(x0, y0, x1, y1);
    // Each image over those before it (shadow, then outline, then letters).
    for (const ASS_Image* i = images; i; i = i->next) {
        int yuv[3];
        ColourToYuv(i->color, frame, yuv);
        const unsigned opacity = 255 - (i->color & 255);
        for (int y = std::max(y0, i->dst_y); y < std::min(y1, i->dst_y + i->h); ++y) {
            const unsigned char* mask = i->bitmap + (y - i->dst_y) * i->stride - i->dst_x;
            const size_t row = static_cast<size_t>(y - y0) * luma_.w;
            for (int x = std::max(x0, i->dst_x); x < std::min(x1, i->dst_x + i->w); ++x) {
                const unsigned a = Scale(mask[x], opacity);
                if (!a) continue;
                const size_t at = row + (x - x0);
                for (int c = 0; c < 3; ++c)
                    luma_.value[c][at] = static_cast<uint8_t>(Scale(yuv[c], a) + Scale(luma_.value[c][at], 255 - a));
                luma_.cover[at] = static_cast<uint8_t>(a + Scale(luma_.cover[at], 255 - a));
            }
        }
    }
    // A colour sample takes the mean of the pixels it stands for.
    const int sw = d->log2_chroma_w, sh = d->log2_chroma_h;
    chroma_.Reset(x0 >> sw, y0 >> sh, x1 > x0 ? ((x1 - 1) >> sw) + 1 : 0, y1 > y0 ? ((y1 - 1) >> sh) + 1 : 0);
    for (int cy = 0; cy < chroma_.h; ++cy)
        for (int cx = 0; cx < chroma_.w; ++cx) {
            unsigned sum[3] = {};
            for (int y = std::max((chroma_.y + cy) << sh, y0); y < std::min((chroma_.y + cy + 1) << sh, y1); ++y)
                for (int x = std::max((chroma_.x + cx) << sw, x0); x < std::min((chroma_.x + cx + 1) << sw, x1); ++x) {
                    const size_t at = static_cast<size_t>(y - y0) * luma_.w + (x - x0);
                    sum[0] += luma_.cover[at];
                    sum[1] += luma_.value[1][at];
                    sum[2] += luma_.value[2][at];
                }
            const size_t at = static_cast<size_t>(cy) * chroma_.w + cx;
            chroma_.cover[at] = static_cast<uint8_t>(sum[0] >> (sw + sh));
            chroma_.value[1][at] = static_cast<uint8_t>(sum[1] >> (sw + sh));
            chroma_.value[2][at] = static_cast<uint8_t>(sum[2] >> (sw + sh));
        }
}

bool TextLayer::ComposedFor(const AVFrame* frame) const {
    return frame->width == width_ && frame->height == height_ && frame->format == format_ &&
           frame->colorspace == colorspace_ && frame->color_range == range_;
}

template <typename Sample>
void TextLayer::DrawPlanes(AVFrame* frame) const {
    const int shift = depth_ - 8;
    const unsigned largest = (1u << depth_) - 1;
    auto draw = [&](const Plane& layer, int frame_plane, int value_plane) {
        for (int y = 0; y < layer.h; ++y) {
            Sample* out = reinterpret_cast<Sample*>(frame->data[frame_plane] +
                                                    static_cast<ptrdiff_t>(layer.y + y) * frame->linesize[frame_plane]) +
                          layer.x;
            const size_t row = static_cast<size_t>(y) * layer.w;
            for (int x = 0; x < layer.w; ++x) {
                const unsigned a = layer.cover[row + x];
                if (!a) continue;
                const unsigned mixed = (layer.value[value_plane][row + x] << shift) + (out[x] * (255 - a) + 127) / 255;
                out[x] = static_cast<Sample>(std::min(mixed, largest));
            }
        }
    };
    draw(luma_, 0, 0);
    draw(chroma_, 1, 1);
    draw(chroma_, 2, 2);
}

void TextLayer::DrawOn(AVFrame* frame) const {
    if (depth_ > 8) DrawPlanes<uint16_t>(frame);
    else DrawPlanes<uint8_t>(frame);
}
