#include "interlacing.h"

extern "C" {
#include <libavfilter/avfilter.h>
#include <libavutil/log.h>
}

std::string DeinterlaceFilter(const AVCodecParameters* picture, const AVFrame* first) {
    const AVFieldOrder order = picture->field_order;
    const bool stated = order == AV_FIELD_TT || order == AV_FIELD_BB || order == AV_FIELD_TB || order == AV_FIELD_BT;
    if (!stated && !first->interlaced_frame) return "";
    // bwdif keeps more detail than yadif at the same cost.
    const char* filter = avfilter_get_by_name("bwdif") ? "bwdif" : avfilter_get_by_name("yadif") ? "yadif" : nullptr;
    if (!filter) {
        av_log(nullptr, AV_LOG_VERBOSE, "interlaced source left as it is: this build has no deinterlacer\n");
        return "";
    }
    // The stated order holds for every frame, whether flagged or not (the
    // first field coded is the first shown: tt and tb are top first).
    const std::string fields = !stated                                    ? "auto:deint=interlaced"
                               : order == AV_FIELD_TT || order == AV_FIELD_TB ? "tff:deint=all"
                                                                               : "bff:deint=all";
    return std::string(filter) + "=mode=send_frame:parity=" + fields;
}
