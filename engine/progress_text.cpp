#include "progress_text.h"

#include <algorithm>
#include <cstdint>

#include "codepage.h"
#include "number_text.h"

namespace {

std::string Number(int64_t value) {
    return IntToText(static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX)));
}

}  // namespace

int BarPositionFor(int64_t doneUs, int64_t durationUs) {
    if (durationUs <= 0) return -1;
    const int64_t done = std::clamp<int64_t>(doneUs, 0, durationUs);
    // Multiplied in floating point: a long film's microseconds times 2000
    // still fit 64 bits, but nothing is gained by relying on it.
    return static_cast<int>(static_cast<double>(done) * kProgressBarMax / static_cast<double>(durationUs));
}

std::string DurationText(int64_t seconds) {
    if (seconds < 0) seconds = 0;
    const int64_t hours = seconds / 3600, minutes = seconds / 60 % 60, rest = seconds % 60;
    if (hours > 0) return Number(hours) + SysText(" 小时 ") + Number(minutes) + SysText(" 分");
    if (minutes > 0) return Number(minutes) + SysText(" 分 ") + Number(rest) + SysText(" 秒");
    return Number(rest) + SysText(" 秒");
}

std::string StatusLineText(const RowProgress& p) {
    const std::string& dot = SysText(" · ");
    const std::string place = SysText("第 ") + Number(p.row + 1) + "/" + Number(p.rows) + SysText(" 个");
    if (p.durationUs <= 0)
        return place + dot + SysText("已转换 ") + DurationText(std::max<int64_t>(p.doneUs, 0) / 1000000);

    const int64_t done = std::clamp<int64_t>(p.doneUs, 0, p.durationUs);
    // Whole percent, rounded down: 100% only once the whole length is done.
    const int64_t percent = done * 100 / p.durationUs;
    std::string text = Number(percent) + "%" + dot + place;
    if (p.elapsedMs >= kEstimateAfterMs && done > 0) {
        // The average speed so far, media time per wall time since the
        // encoder started. The encoder's own terminal line counts from its
        // first picture (encoder/progress_line.cpp); the record it publishes
        // does not say when that was, so here the start-up is waited out
        // (kEstimateAfterMs) instead.
        const double leftMs = static_cast<double>(p.durationUs - done) * static_cast<double>(p.elapsedMs) /
                              static_cast<double>(done);
        text += dot + SysText("剩余约 ") + DurationText(static_cast<int64_t>(leftMs / 1000.0 + 0.5));
    }
    return text;
}

std::string BatchStatusLineText(int barPosition, int runningRows, int64_t elapsedMs) {
    const std::string& dot = SysText(" · ");
    const int bar = std::clamp(barPosition, 0, kProgressBarMax);
    std::string text = Number(bar * 100 / kProgressBarMax) + "%" + dot + SysText("同时转换 ") + Number(runningRows) +
                       SysText(" 个");
    if (elapsedMs >= kEstimateAfterMs && bar > 0) {
        const double leftMs = static_cast<double>(kProgressBarMax - bar) * static_cast<double>(elapsedMs) / bar;
        text += dot + SysText("剩余约 ") + DurationText(static_cast<int64_t>(leftMs / 1000.0 + 0.5));
    }
    return text;
}

std::string RunningStatusText(int barPosition) {
    if (barPosition < 0) return SysText("正在处理");
    return SysText("正在处理 ") + Number(std::clamp(barPosition, 0, kProgressBarMax) * 100 / kProgressBarMax) + "%";
}

const std::string& PausedStatusLineText() { return SysText("已暂停"); }
