#include "text_subtitles.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

extern "C" {
#include <libavutil/pixdesc.h>
}

#include "system_fonts.h"

namespace {

// libass speaks through FFmpeg's log, at the level -v asks for.
void LibassMessage(int level, const char* format, va_list args, void*) {
    static const int kLevels[] = {AV_LOG_FATAL,   AV_LOG_ERROR, AV_LOG_WARNING, AV_LOG_WARNING,
                                  AV_LOG_INFO,    AV_LOG_INFO,  AV_LOG_VERBOSE, AV_LOG_DEBUG};
    const int av_level = kLevels[std::clamp(level, 0, 7)];
    if (av_level > av_log_get_level()) return;
    char line[1024];
    vsnprintf(line, sizeof line, format, args);
    av_log(nullptr, av_level, "libass: %s\n", line);
}

bool IsFont(const AVStream* s) {
    const AVDictionaryEntry* mime = av_dict_get(s->metadata, "mimetype", nullptr, 0);
    const AVDictionaryEntry* name = av_dict_get(s->metadata, "filename", nullptr, 0);
    auto has = [](const AVDictionaryEntry* e, const char* part) {
        if (!e) return false;
        std::string lower = e->value;
        for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
        return lower.find(part) != std::string::npos;
    };
    return has(mime, "font") || has(mime, "truetype") || has(mime, "opentype") || has(name, ".ttf") ||
           has(name, ".otf") || has(name, ".ttc");
}

// Planar YUV of 8 to 16 bits (little-endian), the first three components on
// planes 0, 1 and 2.
bool DrawablePixels(const AVPixFmtDescriptor* d) {
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

// One of libass's images (an alpha mask in one colour) over the picture; a
// colour sample takes the mean cover of the pixels it stands for.
template <typename Sample>
void DrawImage(AVFrame* frame, const ASS_Image& image, const AVPixFmtDescriptor* d) {
    const int x0 = std::max(0, image.dst_x), y0 = std::max(0, image.dst_y);
    const int x1 = std::min(frame->width, image.dst_x + image.w);
    const int y1 = std::min(frame->height, image.dst_y + image.h);
    if (x0 >= x1 || y0 >= y1) return;
    int yuv[3];
    ColourToYuv(image.color, frame, yuv);
    const int shift = d->comp[0].depth - 8;
    const unsigned opacity = 255 - (image.color & 255);
    // Cover 0..255 of the picture's pixel (x, y).
    auto mask_row = [&](int y) { return image.bitmap + (y - image.dst_y) * image.stride - image.dst_x; };
    auto cover = [opacity](unsigned mask) { return opacity == 255 ? mask : (mask * opacity + 127) / 255; };
    auto blend = [shift](Sample* p, unsigned value, unsigned alpha) {
        *p = static_cast<Sample>((*p * (255 - alpha) + (value << shift) * alpha + 127) / 255);
    };
    auto row = [frame](int plane, int y) {
        return reinterpret_cast<Sample*>(frame->data[plane] + static_cast<ptrdiff_t>(y) * frame->linesize[plane]);
    };
    for (int y = y0; y < y1; ++y) {
        const unsigned char* mask = mask_row(y);
        Sample* luma = row(0, y);
        for (int x = x0; x < x1; ++x)
            if (mask[x]) blend(luma + x, yuv[0], cover(mask[x]));
    }
    const int sw = d->log2_chroma_w, sh = d->log2_chroma_h;
    for (int cy = y0 >> sh; cy <= (y1 - 1) >> sh; ++cy) {
        Sample* u = row(1, cy);
        Sample* v = row(2, cy);
        const int top = std::max(cy << sh, y0), bottom = std::min((cy + 1) << sh, y1);
        for (int cx = x0 >> sw; cx <= (x1 - 1) >> sw; ++cx) {
            unsigned sum = 0;
            const int left = std::max(cx << sw, x0), right = std::min((cx + 1) << sw, x1);
            for (int y = top; y < bottom; ++y) {
                const unsigned char* mask = mask_row(y);
                for (int x = left; x < right; ++x) sum += mask[x];
            }
            if (sum) {
                const unsigned a = cover(sum >> (sw + sh));
                blend(u + cx, yuv[1], a);
                blend(v + cx, yuv[2], a);
            }
        }
    }
}

}  // namespace

TextSubtitles::TextSubtitles(const std::string& path, int stream, const std::string& video)
    : library_(ass_library_init()) {
    if (!library_) throw Failure("libass cannot start");
    ass_set_message_cb(library_.get(), LibassMessage, nullptr);
    ass_set_extract_fonts(library_.get(), 1);
    AddAttachedFonts(video);
    renderer_.reset(ass_renderer_init(library_.get()));
    track_.reset(ass_new_track(library_.get()));
    if (!renderer_ || !track_) throw Failure("libass cannot start");
    const std::string fallback = CjkFallbackFamily();
    av_log(nullptr, AV_LOG_VERBOSE, "subtitles: fallback font family '%s'\n", fallback.c_str());
    ass_set_fonts(renderer_.get(), nullptr, fallback.empty() ? nullptr : fallback.c_str(),
                  ASS_FONTPROVIDER_AUTODETECT, nullptr, 1);
    ReadEvents(path, stream);
}

void TextSubtitles::AddAttachedFonts(const std::string& video) {
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, video.c_str(), nullptr, nullptr) < 0) return;
    const av::Input input(raw);
    for (unsigned i = 0; i < raw->nb_streams; ++i) {
        const AVStream* s = raw->streams[i];
        if (s->codecpar->codec_type != AVMEDIA_TYPE_ATTACHMENT || !s->codecpar->extradata_size || !IsFont(s))
            continue;
        const AVDictionaryEntry* name = av_dict_get(s->metadata, "filename", nullptr, 0);
        ass_add_font(library_.get(), name ? name->value : "attached",
                     reinterpret_cast<char*>(s->codecpar->extradata), s->codecpar->extradata_size);
    }
}

void TextSubtitles::ReadEvents(const std::string& path, int stream) {
    AVFormatContext* raw = nullptr;
    av::Check(avformat_open_input(&raw, path.c_str(), nullptr, nullptr), "opening the subtitles");
    const av::Input input(raw);
    av::Check(avformat_find_stream_info(raw, nullptr), "reading the subtitles");
    if (stream < 0) stream = av_find_best_stream(raw, AVMEDIA_TYPE_SUBTITLE, -1, -1, nullptr, 0);
    if (stream < 0 || stream >= static_cast<int>(raw->nb_streams)) throw Failure("no subtitles in it");
    const AVStream* s = raw->streams[stream];
    for (unsigned i = 0; i < raw->nb_streams; ++i)
        if (static_cast<int>(i) != stream) raw->streams[i]->discard = AVDISCARD_ALL;
    const AVCodec* codec = avcodec_find_decoder(s->codecpar->codec_id);
    if (!codec) throw Failure("no decoder for its subtitles");
    av::Codec decoder = av::NewCodec(codec);
    av::Check(avcodec_parameters_to_context(decoder.get(), s->codecpar), "subtitle decoder parameters");
    decoder->pkt_timebase = s->time_base;
    av::Check(avcodec_open2(decoder.get(), codec, nullptr), "opening the subtitle decoder");
    if (decoder->subtitle_header)
        ass_process_codec_private(track_.get(), reinterpret_cast<char*>(decoder->subtitle_header),
                                  decoder->subtitle_header_size);

    av::Packet packet = av::NewPacket();
    while (av_read_frame(raw, packet.get()) >= 0) {
        av::Subtitle sub;
        int got = 0;
        const int result = packet->stream_index == stream
                               ? avcodec_decode_subtitle2(decoder.get(), &sub.value, &got, packet.get())
                               : -1;
        av_packet_unref(packet.get());
        // A damaged line is left out.
        if (result < 0 || !got || sub.value.pts == AV_NOPTS_VALUE) continue;
        const int64_t start_ms = sub.value.pts / 1000 + sub.value.start_display_time;
        const int64_t duration_ms = int64_t{sub.value.end_display_time} - sub.value.start_display_time;
        for (unsigned r = 0; r < sub.value.num_rects; ++r)
            if (char* line = sub.value.rects[r]->ass)
                ass_process_chunk(track_.get(), line, static_cast<int>(strlen(line)), start_ms, duration_ms);
    }
}

bool TextSubtitles::Draw(AVFrame* frame, int64_t time_ms) {
    if (frame->width != frame_w_ || frame->height != frame_h_ || av_cmp_q(frame->sample_aspect_ratio, sar_)) {
        frame_w_ = frame->width;
        frame_h_ = frame->height;
        sar_ = frame->sample_aspect_ratio;
        ass_set_frame_size(renderer_.get(), frame_w_, frame_h_);
        ass_set_storage_size(renderer_.get(), frame_w_, frame_h_);
        // Text on wide or narrow pixels (a DVD's) is drawn narrower or wider,
        // so that it shows in its own proportions once the pixels are; for
        // that libass takes the inverse of the sample aspect ratio.
        ass_set_pixel_aspect(renderer_.get(), sar_.num > 0 && sar_.den > 0 ? 1.0 / av_q2d(sar_) : 1.0);
    }
    int changed = 0;
    const ASS_Image* images = ass_render_frame(renderer_.get(), track_.get(), time_ms, &changed);
    if (!images) return true;
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format));
    if (!DrawablePixels(d)) return false;
    // The decoder may still hold the picture as a reference.
    av::Check(av_frame_make_writable(frame), "drawing subtitles");
    for (const ASS_Image* image = images; image; image = image->next) {
        if (d->comp[0].depth > 8) DrawImage<uint16_t>(frame, *image, d);
        else DrawImage<uint8_t>(frame, *image, d);
    }
    return true;
}
