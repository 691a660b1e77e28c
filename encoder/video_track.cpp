#include "video_track.h"

VideoTrack::VideoTrack(PspOutput& output, double duration)
    : output_(output), picker_(av_inv_q(output.video_encoder()->time_base), duration) {}

void VideoTrack::Add(AVFrame* frame) {
    picker_.Offer(frame, frame->pts);
    output_.EncodeVideo(frame);
}
