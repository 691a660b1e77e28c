#pragma once
// FFmpeg's MPEG-4 encoder writes "no video signal type" into its visual
// object header; this states the colours instead, in the headers it keeps
// as extradata (visual object sequence, visual object, video object layer).
#include <cstdint>
#include <vector>

// Rewrites the visual object header of `headers` to carry a colour
// description (limited range, format unspecified). False, `headers`
// untouched, when there is no such header for video, or it already
// describes its signal.
bool DescribeMpeg4Colours(std::vector<uint8_t>* headers, int primaries, int transfer, int matrix);
