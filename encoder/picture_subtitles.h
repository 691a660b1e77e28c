#pragma once
// A video's picture subtitles (DVD, Blu-ray, DVB bitmaps), read and decoded
// ahead of the conversion and laid over the source's pictures.
#include <cstdint>
#include <string>
#include <vector>

#include "av_ptr.h"

class PictureSubtitles {
public:
    // Reads every subtitle of stream `stream` of `path` (forced_lines_only:
    // only the bitmaps marked forced; the others still end what came before).
    // Throws Failure when the stream cannot be read or decoded.
    PictureSubtitles(const std::string& path, int stream, bool forced_lines_only = false);

    // Lays what shows at `time_us` (the file's own clock, AV_TIME_BASE
    // units) over the picture. False when the picture's pixel format is one
    // these subtitles cannot be drawn on (only 8-bit planar YUV can).
    bool Draw(AVFrame* frame, int64_t time_us);

private:
    // One bitmap in the subtitles' own frame, as Y, U, V and alpha per pixel.
    struct Bitmap {
        int x = 0, y = 0, w = 0, h = 0;
        std::vector<uint8_t> yuva;  // 4 bytes a pixel
    };
    struct Shown {
        int64_t start = 0, end = 0;  // [start, end) in AV_TIME_BASE units
        std::vector<Bitmap> bitmaps;
    };
    void DrawBitmap(AVFrame* frame, const Bitmap& bitmap) const;

    std::vector<Shown> shown_;  // by start time
    int canvas_w_ = 0, canvas_h_ = 0;  // the frame the positions refer to; 0: the picture's
};
