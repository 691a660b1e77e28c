#include <gtest/gtest.h>

#include "app_error.h"
#include "codepage.h"

namespace {

TEST(ErrorBoxText, AppendsAFullStopAfterCharactersAboveIt) {
    const std::string conversion = ConversionError("abc").what();
    EXPECT_EQ(conversion, SysText("'abc' 非有效的整数值"));
    EXPECT_EQ(ErrorBoxText(conversion), SysText("'abc' 非有效的整数值."));
    EXPECT_EQ(ErrorBoxText(ConversionError("").what()), SysText("'' 非有效的整数值."));
    EXPECT_EQ(ErrorBoxText(WriteError("C:\\x\\Config.ini").what()), SysText("无法写入C:\\x\\Config.ini."));
    EXPECT_EQ(ErrorBoxText("ends with a slash/"), "ends with a slash/.");
    EXPECT_EQ(ErrorBoxText("already."), "already.");
    EXPECT_EQ(ErrorBoxText("dash-"), "dash-");
    EXPECT_EQ(ErrorBoxText("space "), "space ");
    EXPECT_EQ(ErrorBoxText(""), "");
}

TEST(ErrorBoxText, ReadsTheLastCharacterAsOneOrTwoBytes) {
    // "-" after a two-byte character is still the last character.
    EXPECT_EQ(ErrorBoxText(SysText("值-")), SysText("值-"));
    // A lone lead byte at the very end counts as a character of its own.
    std::string dangling = "x\x81";
    EXPECT_EQ(ErrorBoxText(dangling), dangling + ".");
}

TEST(ApplicationTitle, CutsAtTheFirstDotAndLowersTheRest) {
    EXPECT_EQ(ApplicationTitle("C:\\Program Files\\Vidquill\\Vidquill.exe"), "Vidquill");
    EXPECT_EQ(ApplicationTitle("C:\\x.y\\VIDQUILL.EXE"), "Vidquill");
    EXPECT_EQ(ApplicationTitle("D:\\tools\\my.tool.exe"), "my");
    EXPECT_EQ(ApplicationTitle("Q.exe"), "Q");
    EXPECT_EQ(ApplicationTitle(SysText("C:\\视频\\转换ABC.exe")), SysText("转换abc"));
}

}  // namespace
