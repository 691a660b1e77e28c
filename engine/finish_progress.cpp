#include "finish_progress.h"

void FinishProgress(WorkerUi& ui, const SleepFunction& sleep) {
    int position = ui.ProgressPosition();
    int max = ui.ProgressMax();
    while (position < max) {
        sleep(10);
        ui.SetProgress(position + 5);  // the bar itself stops at its maximum
        const int previous = position;
        position = ui.ProgressPosition();
        max = ui.ProgressMax();
        if (position <= previous) break;
    }
    ui.RedrawMainWindow();
}
