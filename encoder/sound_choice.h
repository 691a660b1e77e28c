#pragma once
// Which of a source's sound tracks is converted: the one the source marks
// as default (else the first), or with -alang chi the first Chinese one.
extern "C" {
#include <libavformat/avformat.h>
}

// A track whose language tag is chi, zho, zh, cmn or yue (a region or
// script after it, "zh-TW", counts too), or whose title names Chinese
// speech (中文, 国语, 普通话, 粤语, or their traditional spellings).
bool IsChineseSound(const AVStream* stream);

// The sound stream to convert, as av_find_best_stream answers (an error
// code when none is usable), and its decoder in *decoder. chinese_first:
// the first Chinese sound stream this build decodes, when there is one.
int ChooseSoundStream(AVFormatContext* format, int video_index, bool chinese_first, const AVCodec** decoder);
