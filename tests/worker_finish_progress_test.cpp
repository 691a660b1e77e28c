#include <gtest/gtest.h>

#include <thread>

#include "finish_progress.h"
#include "marshalled_worker_ui.h"
#include "worker_fakes.h"

namespace {

struct Climb {
    int steps = 0;
    int pauses = 0;
    int pausedMilliseconds = 0;
    int finalBar = 0;
    bool endsWithRedraw = false;
};

Climb ClimbFrom(int start, bool stuck = false) {
    RecordingUi ui;
    ui.bar = start;
    ui.barStuck = stuck;
    Climb climb;
    FinishProgress(ui, [&](int ms) {
        ++climb.pauses;
        climb.pausedMilliseconds += ms;
    });
    for (const std::string& e : ui.events)
        if (e.rfind("bar=", 0) == 0) ++climb.steps;
    climb.finalBar = ui.bar;
    climb.endsWithRedraw = !ui.events.empty() && ui.events.back() == "redraw" && ui.Count("redraw") == 1;
    return climb;
}

TEST(WorkerFinishProgress, ClimbsInStepsOfFiveEveryTenMilliseconds) {
    const struct {
        int start, steps;
    } cases[] = {{0, 400}, {1, 400}, {1000, 200}, {1995, 1}, {1996, 1}, {1998, 1}, {1999, 1}, {2000, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE("from " + std::to_string(c.start));
        const Climb climb = ClimbFrom(c.start);
        EXPECT_EQ(climb.steps, c.steps);
        EXPECT_EQ(climb.pauses, c.steps);
        EXPECT_EQ(climb.pausedMilliseconds, 10 * c.steps);
        EXPECT_EQ(climb.finalBar, 2000);
        EXPECT_TRUE(climb.endsWithRedraw);
    }
}

TEST(WorkerFinishProgress, ABarThatDoesNotMoveEndsTheClimb) {
    const Climb climb = ClimbFrom(100, true);
    EXPECT_EQ(climb.steps, 1);
    EXPECT_EQ(climb.finalBar, 100);
    EXPECT_TRUE(climb.endsWithRedraw);
}

TEST(WorkerFinishProgress, AVanishedWindowDoesNotHoldTheWorker) {
    // Once the UI thread takes no more calls every read answers 0, so the
    // worker thread finds no room to climb and goes on.
    FakeUiThread uiThread;
    RecordingUi windows(uiThread.Id());
    MarshalledWorkerUi workerUi(windows, uiThread);
    uiThread.Close();
    int pauses = 0;
    std::thread worker([&] { FinishProgress(workerUi, [&](int) { ++pauses; }); });
    worker.join();
    EXPECT_EQ(pauses, 0);
    EXPECT_TRUE(windows.events.empty());
}

}  // namespace
