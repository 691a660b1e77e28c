#include "sound_choice.h"

#include <cstring>
#include <iterator>
#include <string>

namespace {

constexpr const char* kChineseLanguages[] = {"chi", "zho", "zh", "cmn", "yue"};
// UTF-8, as FFmpeg hands out metadata.
constexpr const char* kChineseTitleWords[] = {"中文", "国语", "普通话", "粤语", "國語", "普通話", "粵語"};

std::string LanguageOf(const AVStream* stream) {
    const AVDictionaryEntry* language = av_dict_get(stream->metadata, "language", nullptr, 0);
    std::string text = language ? language->value : "";
    text = text.substr(0, text.find_first_of("-_"));
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// What av_find_best_stream asks of a sound stream before it takes it.
bool Decodable(const AVStream* stream, const AVCodec** decoder) {
    const AVCodecParameters* par = stream->codecpar;
    if (par->codec_type != AVMEDIA_TYPE_AUDIO || par->ch_layout.nb_channels <= 0 || par->sample_rate <= 0)
        return false;
    *decoder = avcodec_find_decoder(par->codec_id);
    return *decoder != nullptr;
}

}  // namespace

bool IsChineseSound(const AVStream* stream) {
    const std::string language = LanguageOf(stream);
    for (const char* chinese : kChineseLanguages)
        if (language == chinese) return true;
    const AVDictionaryEntry* title = av_dict_get(stream->metadata, "title", nullptr, 0);
    if (!title) return false;
    for (const char* word : kChineseTitleWords)
        if (std::strstr(title->value, word)) return true;
    return false;
}

int ChooseSoundStream(AVFormatContext* format, int video_index, bool chinese_first, const AVCodec** decoder) {
    if (chinese_first) {
        for (unsigned i = 0; i < format->nb_streams; ++i) {
            const AVStream* stream = format->streams[i];
            if (IsChineseSound(stream) && Decodable(stream, decoder)) return static_cast<int>(i);
        }
    }
    return av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, video_index, decoder, 0);
}
