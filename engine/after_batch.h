#pragma once
// What the machine does once a batch has ended by itself: nothing, shut
// down or sleep, after a countdown the user can cancel. The choice is never
// saved: every program start begins at "不操作".
#include <string>
#include <vector>

enum class AfterBatch : int { Nothing = 0, ShutDown = 1, Sleep = 2 };

// The drop-down list's items in the order of their values:
// "不操作", "关闭计算机", "睡眠" (system code page).
std::vector<std::string> AfterBatchChoices();
// The label before the list: "完成后:".
std::string AfterBatchLabel();

constexpr int kCountdownSeconds = 60;

// "将在 60 秒后关闭计算机" or "将在 60 秒后进入睡眠".
std::string CountdownText(AfterBatch action, int secondsLeft);

// The machine's power. Tests pass a fake: nothing ever shuts them down.
class PowerAction {
public:
    virtual ~PowerAction() = default;
    // The normal shutdown request (power off), never a forced one: a program
    // with unsaved work may still stop it. False when it was refused.
    virtual bool ShutDown() = 0;
    virtual bool Sleep() = 0;
};

// Counts down once a second; at zero the action is carried out, once.
class Countdown {
public:
    Countdown(AfterBatch action, PowerAction& power, int seconds = kCountdownSeconds);
    std::string Text() const { return CountdownText(action_, left_); }
    // One second has passed; true once the countdown is over (it carried
    // out the action, or was cancelled).
    bool Tick();
    // Nothing happens after this.
    void Cancel() { cancelled_ = true; }
    bool Cancelled() const { return cancelled_; }
    bool CarriedOut() const { return carriedOut_; }

private:
    AfterBatch action_;
    PowerAction& power_;
    int left_;
    bool cancelled_ = false;
    bool carriedOut_ = false;
};
