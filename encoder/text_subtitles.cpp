#include "text_subtitles.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>

extern "C" {
#include <libavutil/pixdesc.h>
}

#include "subtitle_reader.h"
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

}  // namespace

TextSubtitles::TextSubtitles(const std::string& path, int stream, const std::string& video,
                             const OutputFrame& output)
    : library_(ass_library_init()), output_(output) {
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
    SubtitleReader reader(path, stream);
    own_styles_ = reader.decoder().codec_id == AV_CODEC_ID_ASS || reader.decoder().codec_id == AV_CODEC_ID_SSA;
    if (const AVCodecContext& decoder = reader.decoder(); decoder.subtitle_header)
        ass_process_codec_private(track_.get(), reinterpret_cast<char*>(decoder.subtitle_header),
                                  decoder.subtitle_header_size);
    av::Subtitle sub;
    while (reader.Next(&sub)) {
        const int64_t start_ms = sub.value.pts / 1000 + sub.value.start_display_time;
        const int64_t duration_ms = int64_t{sub.value.end_display_time} - sub.value.start_display_time;
        for (unsigned r = 0; r < sub.value.num_rects; ++r)
            if (char* line = sub.value.rects[r]->ass)
                ass_process_chunk(track_.get(), line, static_cast<int>(strlen(line)), start_ms, duration_ms);
    }
}

void TextSubtitles::SetFrame(const AVFrame* frame) {
    frame_w_ = frame->width;
    frame_h_ = frame->height;
    sar_ = frame->sample_aspect_ratio;
    ass_set_frame_size(renderer_.get(), frame_w_, frame_h_);
    ass_set_storage_size(renderer_.get(), frame_w_, frame_h_);
    if (own_styles_) {
        // Text on wide or narrow pixels (a DVD's) is drawn narrower or
        // wider, so that it shows in its own proportions once the pixels
        // are; for that libass takes the inverse of the sample aspect ratio.
        ass_set_pixel_aspect(renderer_.get(), sar_.num > 0 && sar_.den > 0 ? 1.0 / av_q2d(sar_) : 1.0);
        return;
    }
    // The decoders' header says 384x288 when it says anything.
    const int play_x = track_->PlayResX > 0 ? track_->PlayResX : 384;
    const int play_y = track_->PlayResY > 0 ? track_->PlayResY : 288;
    const PlainTextLayout layout =
        LayoutForOutput(output_, frame_w_, frame_h_, {sar_.num, sar_.den}, play_x, play_y);
    if (layout.font_size <= 0) return;
    ass_set_pixel_aspect(renderer_.get(), layout.pixel_aspect);
    for (int i = 0; i < track_->n_styles; ++i) {
        ASS_Style& style = track_->styles[i];
        style.FontSize = layout.font_size;
        style.BorderStyle = 1;  // outline and shadow, no box
        style.Outline = layout.outline;
        style.Shadow = 0;
        style.MarginV = layout.margin_v;
        style.MarginL = layout.margin_l;
        style.MarginR = layout.margin_r;
        style.ScaleX = style.ScaleY = 1.0;
    }
}

bool TextSubtitles::Draw(AVFrame* frame, int64_t time_ms) {
    if (frame->width != frame_w_ || frame->height != frame_h_ || av_cmp_q(frame->sample_aspect_ratio, sar_))
        SetFrame(frame);
    int changed = 0;
    const ASS_Image* images = ass_render_frame(renderer_.get(), track_.get(), time_ms, &changed);
    if (!images) return true;
    if (!TextLayer::Drawable(av_pix_fmt_desc_get(static_cast<AVPixelFormat>(frame->format)))) return false;
    // libass says when its images differ from the last; a line stays the
    // same for dozens of pictures.
    if (changed || !layer_.ComposedFor(frame)) layer_.Compose(images, frame);
    // The decoder may still hold the picture as a reference.
    av::Check(av_frame_make_writable(frame), "drawing subtitles");
    layer_.DrawOn(frame);
    return true;
}
