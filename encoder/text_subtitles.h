#pragma once
// Text subtitles (ASS/SSA, SRT, MP4 text, WebVTT), read and decoded ahead of
// the conversion and drawn by libass onto the source's pictures, with the
// fonts attached to the video, then the system's, then a CJK family of the
// system's so that Chinese never goes missing.
#include <cstdint>
#include <memory>
#include <string>

extern "C" {
#include <ass/ass.h>
}

#include "av_ptr.h"
#include "subtitle_layout.h"
#include "text_layer.h"

class TextSubtitles {
public:
    // Reads every subtitle of stream `stream` of `path` (-1: its first
    // subtitle stream), with the fonts attached to `video`. Text without
    // styles of its own is sized and placed for `output`; ASS and SSA keep
    // their own layout. Throws Failure when the subtitles cannot be read.
    TextSubtitles(const std::string& path, int stream, const std::string& video, const OutputFrame& output);

    // Draws what shows at `time_ms` (the subtitles' own clock). False when
    // the picture's pixel format is one text cannot be drawn on (planar YUV
    // of 8 to 16 bits can).
    bool Draw(AVFrame* frame, int64_t time_ms);

private:
    struct LibraryDeleter {
        void operator()(ASS_Library* l) const { ass_library_done(l); }
    };
    struct RendererDeleter {
        void operator()(ASS_Renderer* r) const { ass_renderer_done(r); }
    };
    struct TrackDeleter {
        void operator()(ASS_Track* t) const { ass_free_track(t); }
    };

    void AddAttachedFonts(const std::string& video);
    void ReadEvents(const std::string& path, int stream);
    void SetFrame(const AVFrame* frame);

    // Declared in this order so that the track and the renderer go before
    // the library they were made from.
    std::unique_ptr<ASS_Library, LibraryDeleter> library_;
    std::unique_ptr<ASS_Renderer, RendererDeleter> renderer_;
    std::unique_ptr<ASS_Track, TrackDeleter> track_;
    OutputFrame output_;
    bool own_styles_ = false;        // ASS or SSA: drawn as they say
    int frame_w_ = 0, frame_h_ = 0;  // the picture the renderer was last set for
    AVRational sar_{0, 1};
    TextLayer layer_;  // what libass last drew
};
