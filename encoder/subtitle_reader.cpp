#include "subtitle_reader.h"

namespace {

av::Input Open(const std::string& path) {
    AVFormatContext* raw = nullptr;
    av::Check(avformat_open_input(&raw, path.c_str(), nullptr, nullptr), "opening the subtitles");
    av::Input input(raw);
    av::Check(avformat_find_stream_info(raw, nullptr), "reading the subtitles");
    return input;
}

}  // namespace

SubtitleReader::SubtitleReader(const std::string& path, int stream) : input_(Open(path)) {
    AVFormatContext* in = input_.get();
    stream_ = stream >= 0 ? stream : av_find_best_stream(in, AVMEDIA_TYPE_SUBTITLE, -1, -1, nullptr, 0);
    if (stream_ < 0 || stream_ >= static_cast<int>(in->nb_streams)) throw Failure("no such subtitle track");
    const AVStream* s = in->streams[stream_];
    for (unsigned i = 0; i < in->nb_streams; ++i)
        if (static_cast<int>(i) != stream_) in->streams[i]->discard = AVDISCARD_ALL;
    const AVCodec* codec = avcodec_find_decoder(s->codecpar->codec_id);
    if (!codec) throw Failure("no decoder for the subtitles");
    decoder_ = av::NewCodec(codec);
    av::Check(avcodec_parameters_to_context(decoder_.get(), s->codecpar), "subtitle decoder parameters");
    decoder_->pkt_timebase = s->time_base;
    av::Check(avcodec_open2(decoder_.get(), codec, nullptr), "opening the subtitle decoder");
}

bool SubtitleReader::Next(av::Subtitle* subtitle) {
    avsubtitle_free(&subtitle->value);
    while (av_read_frame(input_.get(), packet_.get()) >= 0) {
        int got = 0;
        const int64_t packet_pts = packet_->pts;
        const int result = packet_->stream_index == stream_
                               ? avcodec_decode_subtitle2(decoder_.get(), &subtitle->value, &got, packet_.get())
                               : -1;
        av_packet_unref(packet_.get());
        if (result < 0 || !got) continue;
        AVSubtitle& sub = subtitle->value;
        if (sub.pts == AV_NOPTS_VALUE && packet_pts != AV_NOPTS_VALUE)
            sub.pts = av_rescale_q(packet_pts, input_->streams[stream_]->time_base, AV_TIME_BASE_Q);
        if (sub.pts != AV_NOPTS_VALUE) return true;
        avsubtitle_free(&sub);
    }
    return false;
}
