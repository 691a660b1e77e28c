#include "subtitle_choice.h"

#include <filesystem>
#include <system_error>
#include <tuple>

#include "av_ptr.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kExtensions[] = {"ass", "ssa", "srt"};
// Tags that name Simplified Chinese, the more certain first.
constexpr const char* kChineseTags[] = {"chs", "sc", "zh-cn", "zh-hans", "gb", "zh", "chi", "zho"};
// Track languages taken as Chinese.
constexpr const char* kChineseLanguages[] = {"chi", "zho", "zh", "chs", "zh-cn", "zh-hans", "cmn"};

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

int IndexOf(const std::string& word, const char* const* list, int count) {
    for (int i = 0; i < count; ++i)
        if (word == list[i]) return i;
    return -1;
}

// The best place a tag's dot-separated words give it among the Chinese
// tags; -1 when none names Simplified Chinese.
int ChineseRank(const std::string& tag) {
    int best = -1;
    size_t start = 0;
    for (;;) {
        const size_t dot = tag.find('.', start);
        const int rank = IndexOf(tag.substr(start, dot - start), kChineseTags, std::size(kChineseTags));
        if (rank >= 0 && (best < 0 || rank < best)) best = rank;
        if (dot == std::string::npos) return best;
        start = dot + 1;
    }
}

bool IsChinese(const AVStream* stream) {
    const AVDictionaryEntry* language = av_dict_get(stream->metadata, "language", nullptr, 0);
    return language && IndexOf(Lower(language->value), kChineseLanguages, std::size(kChineseLanguages)) >= 0;
}

}  // namespace

std::string FindSubtitleFile(const std::string& video) {
    const fs::path path = fs::u8path(video);
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string base = Lower(path.stem().u8string()) + ".";
    // Ranked by (group, rank, name): the same name, then a Chinese tag, then
    // any other tag, each by extension; the name decides ties.
    std::tuple<int, int, std::string> best{3, 0, ""};
    std::string chosen;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (!it->is_regular_file(error)) continue;
        const std::string name = it->path().filename().u8string();
        const std::string lower = Lower(name);
        if (lower.size() <= base.size() || lower.compare(0, base.size(), base) != 0) continue;
        const std::string rest = lower.substr(base.size());
        const size_t dot = rest.rfind('.');
        const int extension =
            IndexOf(dot == std::string::npos ? rest : rest.substr(dot + 1), kExtensions, std::size(kExtensions));
        if (extension < 0) continue;
        std::tuple<int, int, std::string> rank{0, extension, name};
        if (dot != std::string::npos) {
            const int chinese = ChineseRank(rest.substr(0, dot));
            rank = chinese >= 0 ? std::make_tuple(1, chinese * 3 + extension, name)
                                : std::make_tuple(2, extension, name);
        }
        if (rank < best) {
            best = rank;
            chosen = it->path().u8string();
        }
    }
    return chosen;
}

SubtitleChoice ChooseSubtitles(const std::string& video) {
    SubtitleChoice choice;
    const std::string file = FindSubtitleFile(video);
    if (!file.empty()) {
        choice.kind = SubtitleChoice::Kind::File;
        choice.path = file;
        return choice;
    }
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, video.c_str(), nullptr, nullptr) < 0) return choice;
    const av::Input input(raw);
    if (avformat_find_stream_info(raw, nullptr) < 0) return choice;

    // For text and then for picture subtitles: the default track, else a
    // Chinese one, else the first; only tracks this build can decode.
    for (const int props : {AV_CODEC_PROP_TEXT_SUB, AV_CODEC_PROP_BITMAP_SUB}) {
        int picked = -1, picked_number = -1, picked_rank = 3;
        for (unsigned i = 0, number = 0; i < raw->nb_streams; ++i) {
            const AVStream* stream = raw->streams[i];
            if (stream->codecpar->codec_type != AVMEDIA_TYPE_SUBTITLE) continue;
            const int this_number = static_cast<int>(number++);
            const AVCodecDescriptor* codec = avcodec_descriptor_get(stream->codecpar->codec_id);
            if (!codec || !(codec->props & props) || !avcodec_find_decoder(stream->codecpar->codec_id)) continue;
            const int rank = (stream->disposition & AV_DISPOSITION_DEFAULT) ? 0 : IsChinese(stream) ? 1 : 2;
            if (rank < picked_rank) {
                picked = static_cast<int>(i);
                picked_number = this_number;
                picked_rank = rank;
            }
        }
        if (picked >= 0) {
            choice.kind = props == AV_CODEC_PROP_TEXT_SUB ? SubtitleChoice::Kind::TextTrack
                                                          : SubtitleChoice::Kind::PictureTrack;
            choice.path = video;
            choice.stream = picked;
            choice.subtitle_number = picked_number;
            return choice;
        }
    }
    return choice;
}
