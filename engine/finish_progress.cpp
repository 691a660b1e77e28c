#include "finish_progress.h"

#include <algorithm>

#include "progress_text.h"

void FinishProgress(int position, const std::function<bool(int position)>& show, const SleepFunction& sleep) {
    while (position < kProgressBarMax) {
        sleep(10);
        position = std::min(position + 5, kProgressBarMax);
        if (!show(position)) return;
    }
}
