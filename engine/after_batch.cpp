#include "after_batch.h"

#include "codepage.h"
#include "number_text.h"

std::vector<std::string> AfterBatchChoices() {
    return {SysText("不操作"), SysText("关闭计算机"), SysText("睡眠")};
}

std::string AfterBatchLabel() { return SysText("完成后:"); }

std::string CountdownText(AfterBatch action, int secondsLeft) {
    const char* what = action == AfterBatch::Sleep ? "进入睡眠" : "关闭计算机";
    return SysText("将在 ") + IntToText(secondsLeft) + SysText(" 秒后") + SysText(what);
}

Countdown::Countdown(AfterBatch action, PowerAction& power, int seconds)
    : action_(action), power_(power), left_(seconds) {}

bool Countdown::Tick() {
    if (cancelled_ || carriedOut_) return true;
    if (left_ > 0) --left_;
    if (left_ > 0) return false;
    carriedOut_ = true;
    if (action_ == AfterBatch::ShutDown) power_.ShutDown();
    if (action_ == AfterBatch::Sleep) power_.Sleep();
    return true;
}
