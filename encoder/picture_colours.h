#pragma once
// How the source's picture is coded and what its way to the PSP's
// standard-definition picture needs. Players decode an untagged 320x240 or
// 480x272 stream with BT.601 coefficients, so the output is always BT.601:
// an HD source (BT.709 coefficients) is converted by the scaler, an HDR
// source (PQ or HLG light, BT.2020 colours) tone-mapped to SDR BT.709
// light first. A converted output says so in its stream.
#include <string>

extern "C" {
#include <libavcodec/codec_par.h>
#include <libavutil/pixfmt.h>
}

struct PictureColours {
    bool hd_matrix = false;  // BT.709 coefficients: converted to BT.601 when scaled
    bool hdr = false;        // PQ or HLG: tone-mapped after scaling
    // Whether the output stream is to describe its colours.
    bool converted() const { return hd_matrix || hdr; }
};

// From the picture stream's parameters: tagged BT.709, or untagged and at
// least 720 lines tall (the players' rule), is HD; a PQ or HLG transfer is
// HDR when this build has the filters to tone-map it (else it is left as
// today, and says so in the log).
PictureColours ColoursOf(const AVCodecParameters* picture);

// What the scaler's options gain ("" or ":in_color_matrix=...").
std::string ScalerColourOptions(const PictureColours& colours);
// The filters after the scaler ("" when none).
std::string ToneMapFilters(const PictureColours& colours);

// What a converted output's stream states: BT.709 primaries and light,
// BT.601 coefficients, limited range.
constexpr AVColorPrimaries kOutputPrimaries = AVCOL_PRI_BT709;
constexpr AVColorTransferCharacteristic kOutputTransfer = AVCOL_TRC_BT709;
constexpr AVColorSpace kOutputMatrix = AVCOL_SPC_SMPTE170M;
