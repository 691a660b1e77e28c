#pragma once
// What libass draws for one moment (several alpha masks, each in one colour:
// shadow, outline, letters), composed once into one layer in the picture's
// colours, then laid over every picture that shows that moment.
#include <cstdint>
#include <vector>

extern "C" {
#include <ass/ass.h>
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
}

class TextLayer {
public:
    // Planar YUV of 8 to 16 bits (little-endian), the first three
    // components on planes 0, 1 and 2: what a layer can be laid over.
    static bool Drawable(const AVPixFmtDescriptor* d);

    // Composes libass's images for pictures like `frame` (its size, format,
    // matrix and range).
    void Compose(const ASS_Image* images, const AVFrame* frame);
    // Whether the layer was composed for pictures like `frame`.
    bool ComposedFor(const AVFrame* frame) const;
    // Lays the layer over a writable picture like the one it was composed for.
    void DrawOn(AVFrame* frame) const;

private:
    // A rectangle of the picture (one plane) with each pixel's cover and its
    // Y, U and V already multiplied by it, all 0..255.
    struct Plane {
        int x = 0, y = 0, w = 0, h = 0;
        std::vector<uint8_t> cover, value[3];
        void Reset(int x0, int y0, int x1, int y1);
    };
    template <typename Sample>
    void DrawPlanes(AVFrame* frame) const;

    Plane luma_;    // cover and Y, U, V per pixel
    Plane chroma_;  // cover and U, V per colour sample (the means of its pixels)
    int depth_ = 8;
    int width_ = 0, height_ = 0, format_ = -1, colorspace_ = -1, range_ = -1;  // of the pictures composed for
};
