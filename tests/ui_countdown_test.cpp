// The countdown box on real windows: "取消" pressed while it counts leaves
// the machine alone; left alone, it carries out its action at zero.
#include <gtest/gtest.h>

#include "app_shell.h"
#include "codepage.h"
#include "counting_power.h"
#include "control_ids.h"
#include "countdown_window.h"

namespace {

std::string g_textSeen;

// Runs inside the box's modal loop: reads its text, then presses "取消".
void CALLBACK PressCancel(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND box = FindWindowA(VQ_CLASS_COUNTDOWN_WINDOW, nullptr);
    if (!box) return;
    char text[128] = {};
    GetDlgItemTextA(box, IDC_COUNTDOWN_TEXT, text, sizeof text);
    g_textSeen = text;
    SendMessageA(GetDlgItem(box, IDC_COUNTDOWN_CANCEL), BM_CLICK, 0, 0);
}

}  // namespace

TEST(CountdownBox, CancelLeavesTheMachineAloneAndWithoutItTheActionComesAtZero) {
    app::SetInstance(GetModuleHandleA(nullptr));
    CountingPower power;
    // Ticks of 200 ms; the press comes long before zero.
    SetTimer(nullptr, 0, 500, PressCancel);
    EXPECT_FALSE(CountdownWindow::Run(nullptr, AfterBatch::ShutDown, power, 60, 200));
    EXPECT_EQ(power.shutdowns + power.sleeps, 0);
    // How many ticks came first depends on the machine; the counting itself
    // is AfterBatchCountdown's.
    EXPECT_EQ(SystemToUtf8(g_textSeen).rfind("将在 ", 0), 0u) << SystemToUtf8(g_textSeen);
    EXPECT_NE(SystemToUtf8(g_textSeen).find(" 秒后关闭计算机"), std::string::npos) << SystemToUtf8(g_textSeen);
    EXPECT_EQ(FindWindowA(VQ_CLASS_COUNTDOWN_WINDOW, nullptr), nullptr) << "the box is gone";

    EXPECT_TRUE(CountdownWindow::Run(nullptr, AfterBatch::Sleep, power, 3, 20));
    EXPECT_EQ(power.sleeps, 1);
    EXPECT_EQ(power.shutdowns, 0);
}
