#pragma once
// The size and place of text subtitles that bring no styles of their own
// (SRT, WebVTT, MP4 text, side-car files), chosen for the output frame:
// they are drawn onto the source's picture, which is then scaled, so a
// size taken from the source would come out tiny from an HD film. Pure
// arithmetic, in the script units of the subtitles' header.
#include "options.h"

// The frame the pictures end up in (-s, -fit).
struct OutputFrame {
    PictureFit fit = PictureFit::Stretch;
    int width = 0, height = 0;
};

struct PlainTextLayout {
    double font_size = 0;  // capital letters at least 1/18 of the output's height
    double outline = 0;    // about 1.5 output pixels
    int margin_v = 0;      // above the frame's bottom edge (for -fit crop: the visible one)
    int margin_l = 0, margin_r = 0;
    double pixel_aspect = 1;  // for libass: letters in their own shape once scaled
};

// For pictures of picture_w x picture_h with sample aspect `sar`, and a
// script of play_x x play_y units.
PlainTextLayout LayoutForOutput(const OutputFrame& output, int picture_w, int picture_h, Rational sar, int play_x,
                                int play_y);
