#include "progress_line.h"

#include <algorithm>
#include <cstdio>

#include "console.h"

namespace {

// "1:05" or "1:02:05".
std::string ClockText(int64_t us) {
    const int64_t s = std::max<int64_t>(0, us / 1000000);
    char text[32];
    if (s >= 3600)
        std::snprintf(text, sizeof text, "%d:%02d:%02d", static_cast<int>(s / 3600), static_cast<int>(s / 60 % 60),
                      static_cast<int>(s % 60));
    else
        std::snprintf(text, sizeof text, "%d:%02d", static_cast<int>(s / 60), static_cast<int>(s % 60));
    return text;
}

constexpr auto kRedrawInterval = std::chrono::milliseconds(250);

}  // namespace

ProgressLine::ProgressLine(bool enabled) : enabled_(enabled), start_(Clock::now()) {}

void ProgressLine::Advance(int64_t done_us) {
    if (!enabled_ || finished_) return;
    done_us_ = std::max(done_us_, done_us);
    const Clock::time_point now = Clock::now();
    if (first_done_us_ < 0) {
        first_at_ = now;
        first_done_us_ = done_us_;
    }
    if (shown_ && now - last_shown_ < kRedrawInterval) return;
    last_shown_ = now;
    Show(Text(false), false);
}

void ProgressLine::Finish(bool succeeded) {
    if (!enabled_ || finished_) return;
    finished_ = true;
    if (succeeded || shown_) Show(Text(succeeded), true);
}

std::string ProgressLine::Text(bool final) const {
    const Clock::time_point now = Clock::now();
    const int64_t elapsed_us = std::chrono::duration_cast<std::chrono::microseconds>(now - start_).count();
    const double speed = elapsed_us > 0 ? static_cast<double>(done_us_) / elapsed_us : 0.0;
    std::string text = ClockText(done_us_);
    char figures[64];
    if (duration_us_ > 0) {
        const double percent = std::min(100.0, 100.0 * done_us_ / duration_us_);
        std::snprintf(figures, sizeof figures, " / %s  %3.0f%%", ClockText(duration_us_).c_str(), percent);
        text += figures;
    }
    std::snprintf(figures, sizeof figures, "  %.1fx", speed);
    text += figures;
    if (final) {
        text += "  took " + ClockText(elapsed_us);
    } else if (duration_us_ > 0) {
        // Time left at the pace since encoding began: the start-up before
        // it would make early estimates far too long. A first second's pace
        // says little yet. (The progress window's estimate, engine/
        // progress_text.cpp, counts from the encoder's start instead: it sees
        // only the published figures, not when the first picture came.)
        const int64_t encoding_us =
            std::chrono::duration_cast<std::chrono::microseconds>(now - first_at_).count();
        const double pace = first_done_us_ >= 0 && encoding_us >= 1000000
                                ? static_cast<double>(done_us_ - first_done_us_) / encoding_us
                                : 0.0;
        const int64_t rest_us = duration_us_ - std::min(done_us_, duration_us_);
        text += "  left " + (pace > 0 ? ClockText(static_cast<int64_t>(rest_us / pace)) : std::string("--"));
    }
    return text;
}

void ProgressLine::Show(const std::string& text, bool final) {
    // Spaces blank what a longer earlier line left on screen.
    std::string line = "\r" + text;
    if (text.size() < shown_length_) line.append(shown_length_ - text.size(), ' ');
    if (final) line += "\n";
    PrintProgressText(line);
    shown_length_ = text.size();
    shown_ = true;
}
