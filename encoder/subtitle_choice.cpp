#include "subtitle_choice.h"

#include <tuple>

#include "av_ptr.h"
#include "file_system.h"

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

bool HasWord(const std::string& tag, const std::string& word) {
    return ("." + tag + ".").find("." + word + ".") != std::string::npos;
}

bool IsChinese(const AVStream* stream) {
    const AVDictionaryEntry* language = av_dict_get(stream->metadata, "language", nullptr, 0);
    return language && IndexOf(Lower(language->value), kChineseLanguages, std::size(kChineseLanguages)) >= 0;
}

struct SubtitleFile {
    std::string path;  // "" when there is none
    bool chinese = false;
};

// forced_chinese: only files whose tag holds both a Chinese tag and "forced".
SubtitleFile BestSubtitleFile(const std::string& video, bool forced_chinese) {
    const fsys::PathParts video_parts = fsys::SplitPath(video);
    const std::string base = Lower(video_parts.stem()) + ".";
    // Ranked by (group, forced, rank, name): the same name, then a Chinese
    // tag, then any other tag; in each, whole subtitles before forced ones,
    // then by extension; the name decides ties.
    std::tuple<int, bool, int, std::string> best{3, false, 0, ""};
    SubtitleFile chosen;
    for (const std::string& name : fsys::RegularFilesIn(video_parts.folder)) {
        const std::string lower = Lower(name);
        if (lower.size() <= base.size() || lower.compare(0, base.size(), base) != 0) continue;
        const std::string rest = lower.substr(base.size());
        const size_t dot = rest.rfind('.');
        const int extension =
            IndexOf(dot == std::string::npos ? rest : rest.substr(dot + 1), kExtensions, std::size(kExtensions));
        if (extension < 0) continue;
        const std::string tag = dot == std::string::npos ? "" : rest.substr(0, dot);
        const int chinese = ChineseRank(tag);
        const bool forced = HasWord(tag, "forced");
        if (forced_chinese && (chinese < 0 || !forced)) continue;
        std::tuple<int, bool, int, std::string> rank{0, false, extension, name};
        if (dot != std::string::npos) {
            rank = chinese >= 0 ? std::make_tuple(1, forced, chinese * 3 + extension, name)
                                : std::make_tuple(2, forced, extension, name);
        }
        if (rank < best) {
            best = rank;
            chosen = {video_parts.folder + name, chinese >= 0};
        }
    }
    return chosen;
}

SubtitleChoice FileChoice(const SubtitleFile& file) {
    SubtitleChoice choice;
    choice.kind = SubtitleChoice::Kind::File;
    choice.path = file.path;
    choice.chinese = file.chinese;
    return choice;
}

// For text and then for picture subtitles: the default track, else a
// Chinese one, else the first; only tracks this build can decode.
// forced_chinese: only Chinese tracks marked forced.
SubtitleChoice BestTrack(const AVFormatContext* raw, const std::string& video, bool forced_chinese) {
    SubtitleChoice choice;
    if (!raw) return choice;
    for (const int props : {AV_CODEC_PROP_TEXT_SUB, AV_CODEC_PROP_BITMAP_SUB}) {
        int picked = -1, picked_number = -1, picked_rank = 3;
        for (unsigned i = 0, number = 0; i < raw->nb_streams; ++i) {
            const AVStream* stream = raw->streams[i];
            if (stream->codecpar->codec_type != AVMEDIA_TYPE_SUBTITLE) continue;
            const int this_number = static_cast<int>(number++);
            const AVCodecDescriptor* codec = avcodec_descriptor_get(stream->codecpar->codec_id);
            if (!codec || !(codec->props & props) || !avcodec_find_decoder(stream->codecpar->codec_id)) continue;
            if (forced_chinese && (!IsChinese(stream) || !(stream->disposition & AV_DISPOSITION_FORCED))) continue;
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
            choice.chinese = IsChinese(raw->streams[picked]);
            return choice;
        }
    }
    return choice;
}

// The video's layout for its tracks; empty when FFmpeg cannot read it.
av::Input OpenTracks(const std::string& video) {
    AVFormatContext* raw = nullptr;
    if (avformat_open_input(&raw, video.c_str(), nullptr, nullptr) < 0) return av::Input();
    av::Input input(raw);
    if (avformat_find_stream_info(raw, nullptr) < 0) return av::Input();
    return input;
}

}  // namespace

std::string FindSubtitleFile(const std::string& video) { return BestSubtitleFile(video, false).path; }

SubtitleChoice ChooseSubtitles(const std::string& video, bool chinese_sound) {
    // The video is opened only when its tracks are looked at.
    av::Input tracks;
    bool opened = false;
    auto layout = [&]() -> const AVFormatContext* {
        if (!opened) tracks = OpenTracks(video);
        opened = true;
        return tracks.get();
    };
    const SubtitleFile file = BestSubtitleFile(video, false);
    SubtitleChoice usual = file.path.empty() ? BestTrack(layout(), video, false) : FileChoice(file);
    if (!chinese_sound || !usual.chinese) return usual;

    // Whoever hears Chinese needs only the lines the sound does not say.
    const SubtitleFile forced_file = BestSubtitleFile(video, true);
    if (!forced_file.path.empty()) return FileChoice(forced_file);
    SubtitleChoice forced_track = BestTrack(layout(), video, true);
    if (forced_track.kind != SubtitleChoice::Kind::None) return forced_track;
    if (usual.kind == SubtitleChoice::Kind::PictureTrack) {
        usual.forced_lines_only = true;
        return usual;
    }
    return SubtitleChoice();
}
