#pragma once
// Where the source's picture lands in the output frame for -fit: pure
// arithmetic, so that the rules are tested without FFmpeg.
#include "options.h"

struct PictureSource {
    int width = 0, height = 0;        // coded pixels
    Rational sample_aspect{1, 1};     // 0/x or x/0: square pixels
    bool turned_sideways = false;     // shown rotated by 90 or 270 degrees
};

// The picture is scaled to width x height (upright, square pixels), then
// placed at (x, y) in the frame: for Pad inside it (the rest black), for
// Crop the frame is the window at (x, y) into the larger picture. Stretch
// scales to the frame itself. All four numbers are even.
struct PicturePlacement {
    int width = 0, height = 0;
    int x = 0, y = 0;
};

PicturePlacement PlacePicture(const PictureSource& source, PictureFit fit, int frame_width, int frame_height);
