#include <gtest/gtest.h>

#include "app_error.h"
#include "codepage.h"
#include "conversion_settings.h"
#include "number_text.h"

namespace {

TEST(TextToInt, AcceptsDecimalAndHexForms) {
    struct Case { const char* text; int32_t value; } cases[] = {
        {"0", 0}, {" 12", 12}, {"   12", 12}, {"+7", 7}, {"-0", 0}, {"-5", -5},
        {"007", 7}, {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
        {"$FFFFFFFF", -1}, {"$ff", 255}, {"x1A", 26}, {"X1a", 26}, {"0x10", 16},
        {"0X7fffffff", 2147483647}, {"0x80000000", INT32_MIN}, {" $0000000001", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(TextToInt(c.text), c.value) << "'" << c.text << "'";
}

TEST(TextToInt, RefusesEverythingElseWithTheWholeText) {
    const char* bad[] = {"", " ", "-", "+", "0x", "$", "x", "\t12", "12 ", "1 2", "abc",
                         "2147483648", "-2147483649", "99999999999", "1FFFFFFFF", "$1FFFFFFFF",
                         "-$1", "+0x1", "-x1", "0x-1", "1.5", "12a", "٣"};
    for (const char* text : bad) {
        try {
            TextToInt(text);
            ADD_FAILURE() << "accepted '" << text << "'";
        } catch (const ConversionError& e) {
            EXPECT_EQ(e.what(), "'" + std::string(text) + SysText("' 非有效的整数值"));
        }
    }
}

TEST(NumberText, IntegersArePlainDecimal) {
    EXPECT_EQ(IntToText(0), "0");
    EXPECT_EQ(IntToText(30000), "30000");
    EXPECT_EQ(IntToText(-5), "-5");
    EXPECT_EQ(IntToText(INT32_MIN), "-2147483648");
}

TEST(NumberText, FloatsUseShortestFormAndTheRegionalMark) {
    EXPECT_EQ(FloatToText(14.985), "14.985");
    EXPECT_EQ(FloatToText(29.97), "29.97");
    EXPECT_EQ(FloatToText(30.0), "30");
    EXPECT_EQ(FloatToText(0.1 + 0.2), "0.3");  // 15 significant digits, not 17
    SetDecimalMark(',');
    EXPECT_EQ(FloatToText(29.97), "29,97");
    EXPECT_EQ(FrameRateText(0), "14,985");
    SetDecimalMark('\0');  // the system gave none: full stop
    EXPECT_EQ(FloatToText(29.97), "29.97");
}

TEST(SettingsTables, IndexesOutsideATableGiveEmptyText) {
    EXPECT_EQ(FrameSizeText(0), "320x240");
    EXPECT_EQ(FrameSizeText(1), "368x208");
    EXPECT_EQ(FrameSizeText(2), "400x192");
    EXPECT_EQ(FrameRateText(0), "14.985");
    EXPECT_EQ(FrameRateText(1), "29.97");
    EXPECT_EQ(ChannelText(0), "1");
    EXPECT_EQ(ChannelText(1), "2");
    for (int32_t i : {-1, 3, INT32_MIN, INT32_MAX}) EXPECT_EQ(FrameSizeText(i), "") << i;
    for (int32_t i : {-1, 2}) {
        EXPECT_EQ(FrameRateText(i), "") << i;
        EXPECT_EQ(ChannelText(i), "") << i;
    }
}

// "同时转换": positions 0-3 are 1-4 rows, "自动" one per four logical
// processors within 1-4, anything else the first item.
TEST(SettingsTables, RowsAtOnceFromTheSimultaneousChoice) {
    ConversionSettings s;
    auto rows = [&](int32_t choice, int32_t processors) {
        s.Simultaneous = choice;
        return RowsAtOnce(s, processors);
    };
    for (int32_t choice = 0; choice < 4; ++choice) EXPECT_EQ(rows(choice, 2), choice + 1) << choice;
    for (int32_t choice : {-1, 5, INT32_MIN, INT32_MAX}) EXPECT_EQ(rows(choice, 16), 1) << choice;
    const std::pair<int32_t, int32_t> autoRows[] = {{0, 1}, {1, 1}, {2, 1}, {7, 1}, {8, 2}, {12, 3},
                                                    {16, 4}, {64, 4}};
    for (auto [processors, expected] : autoRows) EXPECT_EQ(rows(4, processors), expected) << processors;
}

TEST(SettingsTables, StartingValues) {
    ConversionSettings s;
    EXPECT_EQ(s.Resolution, 0);
    EXPECT_EQ(s.VideoQuality, 0);
    EXPECT_EQ(s.Volume, 0);
    EXPECT_EQ(s.PspNumber, 30000);
    EXPECT_EQ(s.Output, "");
}

}  // namespace
