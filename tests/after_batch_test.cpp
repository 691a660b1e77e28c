// The countdown before shutdown or sleep: cancelling at any moment means
// nothing happens; otherwise exactly one action, exactly at zero.
#include <gtest/gtest.h>

#include "after_batch.h"
#include "codepage.h"
#include "counting_power.h"

TEST(AfterBatchCountdown, CancelAtAnyMomentDoesNothingAndOtherwiseActsOnceAtZero) {
    for (int cancelAfter = 0; cancelAfter < 3; ++cancelAfter) {
        CountingPower power;
        Countdown countdown(AfterBatch::ShutDown, power, 3);
        for (int i = 0; i < cancelAfter; ++i) EXPECT_FALSE(countdown.Tick());
        countdown.Cancel();
        for (int i = 0; i < 5; ++i) EXPECT_TRUE(countdown.Tick()) << "a cancelled countdown is over";
        EXPECT_EQ(power.shutdowns + power.sleeps, 0) << "cancelled after " << cancelAfter;
        EXPECT_FALSE(countdown.CarriedOut());
    }

    CountingPower power;
    Countdown sleep(AfterBatch::Sleep, power, 60);
    EXPECT_EQ(SystemToUtf8(sleep.Text()), "将在 60 秒后进入睡眠");
    for (int i = 0; i < 58; ++i) EXPECT_FALSE(sleep.Tick());
    EXPECT_EQ(SystemToUtf8(sleep.Text()), "将在 2 秒后进入睡眠");
    EXPECT_FALSE(sleep.Tick());
    EXPECT_EQ(power.sleeps, 0);
    EXPECT_TRUE(sleep.Tick());
    sleep.Cancel();  // too late: it has happened
    EXPECT_TRUE(sleep.Tick());
    EXPECT_EQ(power.sleeps, 1);
    EXPECT_EQ(power.shutdowns, 0);
    EXPECT_TRUE(sleep.CarriedOut());

    EXPECT_EQ(SystemToUtf8(CountdownText(AfterBatch::ShutDown, 60)), "将在 60 秒后关闭计算机");
    std::vector<std::string> choices;
    for (const std::string& choice : AfterBatchChoices()) choices.push_back(SystemToUtf8(choice));
    EXPECT_EQ(choices, (std::vector<std::string>{"不操作", "关闭计算机", "睡眠"}));
}
