#include "picture_fit.h"

#include <algorithm>
#include <cmath>

namespace {

// A covering picture is at most this many frame sides long: a source of an
// absurd shape (a 16-pixel-wide strip) is squeezed rather than scaled to a
// picture of tens of thousands of lines.
constexpr int kMaxCoverFactor = 8;

// 4:2:0 pictures have half-size colour planes: sides and offsets are even.
int Even(double value, int low, int high) {
    const int even = 2 * static_cast<int>(std::lround(value / 2));
    return std::clamp(even, low, high);
}

}  // namespace

PicturePlacement PlacePicture(const PictureSource& source, PictureFit fit, int frame_width, int frame_height) {
    const int fw = frame_width, fh = frame_height;
    if (fit == PictureFit::Stretch || source.width <= 0 || source.height <= 0) return {fw, fh, 0, 0};

    const Rational sar = source.sample_aspect.num > 0 && source.sample_aspect.den > 0 ? source.sample_aspect
                                                                                      : Rational{1, 1};
    double shape = static_cast<double>(source.width) * sar.num / (static_cast<double>(source.height) * sar.den);
    if (source.turned_sideways) shape = 1 / shape;
    const bool wider_than_frame = shape * fh >= fw;

    PicturePlacement p;
    if (fit == PictureFit::Pad) {
        // The side that reaches the frame's edge first sets the scale.
        p.width = wider_than_frame ? fw : Even(fh * shape, 2, fw);
        p.height = wider_than_frame ? Even(fw / shape, 2, fh) : fh;
        p.x = (fw - p.width) / 2 / 2 * 2;
        p.y = (fh - p.height) / 2 / 2 * 2;
    } else {
        // The side that reaches it last: the other one overflows.
        p.width = wider_than_frame ? Even(fh * shape, fw, fw * kMaxCoverFactor) : fw;
        p.height = wider_than_frame ? fh : Even(fw / shape, fh, fh * kMaxCoverFactor);
        p.x = (p.width - fw) / 2 / 2 * 2;
        p.y = (p.height - fh) / 2 / 2 * 2;
    }
    return p;
}
