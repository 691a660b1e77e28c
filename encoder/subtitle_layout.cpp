#include "subtitle_layout.h"

#include <algorithm>
#include <cmath>

#include "picture_fit.h"

namespace {

// Capitals drawn come out about 0.63 of the font's size in solid letter
// pixels (the edges blend into the outline), so 1/11 of the frame gives
// capitals of at least 1/18: 14 pixels at 240 lines, 15 to 16 at 272
// (bench/subtitle-letters).
constexpr double kFramePerFontSize = 11;
constexpr double kOutlinePixels = 1.5;
// Between the text and the frame's edges, in output pixels.
constexpr double kMarginShare = 1.0 / 24;

}  // namespace

PlainTextLayout LayoutForOutput(const OutputFrame& output, int picture_w, int picture_h, Rational sar, int play_x,
                                int play_y) {
    PlainTextLayout layout;
    if (output.width <= 0 || output.height <= 0 || picture_w <= 0 || picture_h <= 0 || play_x <= 0 || play_y <= 0)
        return layout;
    PictureSource source;
    source.width = picture_w;
    source.height = picture_h;
    source.sample_aspect = sar;
    const PicturePlacement place = PlacePicture(source, output.fit, output.width, output.height);
    // Output pixels per picture pixel, and script units per picture pixel.
    const double sx = static_cast<double>(place.width) / picture_w;
    const double sy = static_cast<double>(place.height) / picture_h;
    const double unit_x = static_cast<double>(play_x) / picture_w;
    const double unit_y = static_cast<double>(play_y) / picture_h;
    // -fit crop: what lies outside the window is never seen; -fit pad and
    // stretching show the whole picture.
    const bool crop = output.fit == PictureFit::Crop;
    const int hidden_below = crop ? std::max(0, place.height - place.y - output.height) : 0;
    const int hidden_left = crop ? place.x : 0;
    const int hidden_right = crop ? std::max(0, place.width - place.x - output.width) : 0;
    const double margin = output.height * kMarginShare;

    layout.font_size = output.height / kFramePerFontSize / sy * unit_y;
    layout.outline = kOutlinePixels / sy * unit_y;
    layout.margin_v = static_cast<int>(std::lround((margin + hidden_below) / sy * unit_y));
    layout.margin_l = static_cast<int>(std::lround((margin + hidden_left) / sx * unit_x));
    layout.margin_r = static_cast<int>(std::lround((margin + hidden_right) / sx * unit_x));
    // libass takes the inverse of the shape a picture pixel shows in.
    layout.pixel_aspect = sy / sx;
    return layout;
}
