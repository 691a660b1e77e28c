#include "picture_colours.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavutil/log.h>
}

namespace {

bool BuildHas(const char* filter) { return avfilter_get_by_name(filter) != nullptr; }

}  // namespace

PictureColours ColoursOf(const AVCodecParameters* picture) {
    PictureColours colours;
    const bool pq_or_hlg =
        picture->color_trc == AVCOL_TRC_SMPTE2084 || picture->color_trc == AVCOL_TRC_ARIB_STD_B67;
    if (pq_or_hlg) {
        colours.hdr = BuildHas("zscale") && BuildHas("tonemap");
        if (!colours.hdr)
            av_log(nullptr, AV_LOG_VERBOSE, "colours: HDR source left as it is: this build lacks zscale or tonemap\n");
        return colours;
    }
    colours.hd_matrix = picture->color_space == AVCOL_SPC_BT709 ||
                        (picture->color_space == AVCOL_SPC_UNSPECIFIED && picture->height >= 720);
    return colours;
}

std::string ScalerColourOptions(const PictureColours& colours) {
    // Named on both sides: untagged frames would be read as BT.601.
    return colours.hd_matrix ? ":in_color_matrix=bt709:out_color_matrix=bt601" : "";
}

std::string ToneMapFilters(const PictureColours& colours) {
    if (!colours.hdr) return "";
    // To linear light with 100 nits as 1.0, BT.2020 to BT.709 colours,
    // the highlights rolled off by mobius (which keeps more of the colour
    // of saturated areas than hable), back to BT.709 light with BT.601
    // coefficients. zscale reads what the source is from its frames.
    return "zscale=t=linear:npl=100,format=gbrpf32le,zscale=p=bt709,tonemap=tonemap=mobius:desat=0,"
           "zscale=t=bt709:m=170m:r=tv";
}
