#pragma once
// The progress line on a terminal: time done / total, percent, speed and
// time left, redrawn in place a few times a second, and a last line with a
// newline at the end. Silent when disabled (stderr is not a terminal).
#include <chrono>
#include <cstdint>
#include <string>

class ProgressLine {
public:
    explicit ProgressLine(bool enabled);

    void SetDuration(int64_t duration_us) { duration_us_ = duration_us; }
    void Advance(int64_t done_us);
    // Ends the line: a success shows its final figures; a failure ends a
    // line already shown, so the error stands on a line of its own.
    void Finish(bool succeeded);

private:
    using Clock = std::chrono::steady_clock;
    std::string Text(bool final) const;
    void Show(const std::string& text, bool final);

    const bool enabled_;
    const Clock::time_point start_;
    Clock::time_point last_shown_{};
    Clock::time_point first_at_{};  // the first picture's report: encoding began
    int64_t first_done_us_ = -1;
    int64_t duration_us_ = -1;
    int64_t done_us_ = 0;
    size_t shown_length_ = 0;  // of the line on screen, to blank its rest
    bool shown_ = false;
    bool finished_ = false;
};
