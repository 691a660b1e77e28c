#pragma once
// What the progress window makes of the encoder's reports: the bar's
// position and the status line. Pure functions; the caller supplies the
// time that has passed, so they are tested without a clock.
#include <cstdint>
#include <string>

// The progress bar's range.
constexpr int kProgressBarMax = 2000;

// The share of the row done as a bar position (0-2000); -1 when the
// encoder does not know the source's length.
int BarPositionFor(int64_t doneUs, int64_t durationUs);

// One row's progress as the status line shows it.
struct RowProgress {
    int64_t doneUs = 0;       // media time converted
    int64_t durationUs = -1;  // the source's length; -1 when unknown
    int64_t elapsedMs = 0;    // wall time since the row's encoder started
    int row = 0;              // position in the batch, from 0
    int rows = 1;             // rows in the batch
};

// Wall time before the first estimate: the average speed of the first
// moments (opening the source, the first frames) says little.
constexpr int64_t kEstimateAfterMs = 2000;

// "42% · 第 2/5 个 · 剩余约 1 分 20 秒" (the estimate once kEstimateAfterMs
// have passed and something was done); with an unknown length
// "第 2/5 个 · 已转换 1 分 20 秒". System code page.
std::string StatusLineText(const RowProgress& progress);

// A span of seconds as the status line writes it: "20 秒", "1 分 20 秒",
// "1 小时 5 分". System code page.
std::string DurationText(int64_t seconds);

// Several rows at once: the batch's share done (0-kProgressBarMax), how many
// rows run, and the batch's wall time so far (paused time left out).
// "37% · 同时转换 2 个 · 剩余约 5 分 20 秒", the estimate as for one row.
std::string BatchStatusLineText(int barPosition, int runningRows, int64_t elapsedMs);

// A running row's status cell while several rows run: "正在处理 37%", or
// "正在处理" while its share is unknown (-1).
std::string RunningStatusText(int barPosition);

// The status line of a paused batch: "已暂停".
const std::string& PausedStatusLineText();
