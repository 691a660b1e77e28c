// Which sound track -alang chi takes, on stream layouts built in memory.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "av_ptr.h"
#include "sound_choice.h"

namespace {

struct Track {
    const char* language;  // nullptr: untagged
    const char* title;
    bool is_default = false;
    AVCodecID codec = AV_CODEC_ID_AAC;
    int channels = 2;
};

// A video stream, then `tracks` as sound streams.
av::Input Layout(std::initializer_list<Track> tracks) {
    av::Input format(avformat_alloc_context());
    AVStream* video = avformat_new_stream(format.get(), nullptr);
    video->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
    video->codecpar->codec_id = AV_CODEC_ID_MPEG4;
    for (const Track& t : tracks) {
        AVStream* s = avformat_new_stream(format.get(), nullptr);
        s->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
        s->codecpar->codec_id = t.codec;
        s->codecpar->sample_rate = 48000;
        av_channel_layout_default(&s->codecpar->ch_layout, t.channels);
        if (t.language) av_dict_set(&s->metadata, "language", t.language, 0);
        if (t.title) av_dict_set(&s->metadata, "title", t.title, 0);
        if (t.is_default) s->disposition = AV_DISPOSITION_DEFAULT;
    }
    return format;
}

TEST(SoundChoice, ChineseByLanguageOrTitleAndOtherwiseTheDefaultTrack) {
    const std::pair<Track, bool> tags[] = {
        {{"chi", nullptr}, true},      {{"ZHO", nullptr}, true},  {{"zh", nullptr}, true},
        {{"cmn", nullptr}, true},      {{"yue", nullptr}, true},  {{"zh-TW", nullptr}, true},
        {{"und", "国语 5.1"}, true},   {{nullptr, "Mandarin 普通话"}, true},
        {{nullptr, "粤语"}, true},     {{nullptr, "中文配音"}, true}, {{"eng", "國語"}, true},
        {{"jpn", nullptr}, false},     {{"chs", nullptr}, false}, {{"zhx", nullptr}, false},
        {{nullptr, "日语"}, false},    {{nullptr, nullptr}, false}, {{"", "Chinese"}, false},
    };
    for (const auto& [track, chinese] : tags) {
        const av::Input one = Layout({track});
        EXPECT_EQ(IsChineseSound(one->streams[1]), chinese)
            << (track.language ? track.language : "-") << " / " << (track.title ? track.title : "-");
    }

    const AVCodec* decoder = nullptr;
    // Japanese first and default; a Chinese track nothing decodes, one
    // without channels, then a good one.
    const av::Input anime = Layout({{"jpn", nullptr, true}, {"chi", nullptr, false, AV_CODEC_ID_NONE},
                                    {"chi", nullptr, false, AV_CODEC_ID_AAC, 0}, {"zho", nullptr}, {"chi", nullptr}});
    EXPECT_EQ(ChooseSoundStream(anime.get(), 0, true, &decoder), 4);
    ASSERT_NE(decoder, nullptr);
    EXPECT_EQ(decoder->id, AV_CODEC_ID_AAC);
    EXPECT_EQ(ChooseSoundStream(anime.get(), 0, false, &decoder), 1);
    // No Chinese track: the default one, as without -alang.
    const av::Input film = Layout({{"eng", nullptr}, {"jpn", nullptr, true}});
    EXPECT_EQ(ChooseSoundStream(film.get(), 0, true, &decoder), 2);
    EXPECT_EQ(ChooseSoundStream(film.get(), 0, false, &decoder), 2);
    const av::Input silent = Layout({});
    EXPECT_EQ(ChooseSoundStream(silent.get(), 0, true, &decoder), AVERROR_STREAM_NOT_FOUND);
}

}  // namespace
