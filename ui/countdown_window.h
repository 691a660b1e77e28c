#pragma once
// The box before the machine shuts down or sleeps at the end of a batch:
// "将在 60 秒后关闭计算机" counting down once a second, and "取消". Cancelling
// (the button or the box's close) leaves everything as it is; at zero the
// action is carried out.
#include <windows.h>

#include <memory>

#include "after_batch.h"
#include "win_handles.h"
#include "window.h"

class CountdownWindow : public Window {
public:
    // Shows the box modally in front of `owner` until it is cancelled or
    // over; true when the action was carried out. `tickMilliseconds` is a
    // second, except in tests.
    static bool Run(HWND owner, AfterBatch action, PowerAction& power, int seconds = kCountdownSeconds,
                    int tickMilliseconds = 1000);

    CountdownWindow(AfterBatch action, PowerAction& power, int seconds) : countdown_(action, power, seconds) {}
    ~CountdownWindow() override;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateControls(HWND owner);
    void OnTick();
    void OnCancelClicked();

    Countdown countdown_;
    HWND text_ = nullptr;
    HWND cancelButton_ = nullptr;
    UniqueFont font_;
    int modalResult_ = 0;
};
