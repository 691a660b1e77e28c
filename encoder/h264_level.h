#pragma once
// H.264 level 2.1, the level the PSP's file header states for AVC video:
// the limits the command line checks and the encoder's buffer keeps to.
namespace h264_level {

constexpr int kLevelIdc = 21;
constexpr int kMaxFrameMacroblocks = 792;       // 480x272 is 510
constexpr long long kMaxMacroblockRate = 19800; // per second; 480x272 at 29.97 is 15,285
// Main Profile bit rate and coded picture buffer (VCL), bit/s and bits.
constexpr int kMaxBitRate = 4000000;
constexpr int kMaxBufferBits = 4000000;

constexpr int Macroblocks(int width, int height) { return ((width + 15) / 16) * ((height + 15) / 16); }

}  // namespace h264_level
