// Subtitle files' text to UTF-8: what a byte-order mark says, UTF-8 as it
// is, and the system's code page (GB18030 natively, 936 under the tests'
// Wine) for the rest.
#include <gtest/gtest.h>

#include <string>

#include "subtitle_text.h"

namespace {

std::string Utf8(const std::string& bytes) {
    std::string text;
    return SubtitleTextToUtf8(bytes, &text) ? text : "<refused>";
}

TEST(SubtitleText, EachEncodingToUtf8) {
    const std::string chinese = "\xE4\xB8\xAD\xE6\x96\x87";  // 中文 in UTF-8
    EXPECT_EQ(Utf8("\xEF\xBB\xBF" + chinese), chinese);
    EXPECT_EQ(Utf8(chinese + "\r\n"), chinese + "\r\n");
    EXPECT_EQ(Utf8(std::string("\xFF\xFE\x2D\x4E\x87\x65\x0A\x00", 8)), chinese + "\n");
    EXPECT_EQ(Utf8(std::string("\xFE\xFF\x4E\x2D\x65\x87", 6)), chinese);
    // A character outside the basic plane, as a UTF-16 surrogate pair.
    EXPECT_EQ(Utf8(std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6)), "\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8("\xD6\xD0\xCE\xC4"), chinese);  // GBK
    // Half a surrogate pair, or bytes no code page has.
    EXPECT_EQ(Utf8(std::string("\xFF\xFE\x3D\xD8", 4)), "<refused>");
    EXPECT_EQ(Utf8("\xFF\x80\x80"), "<refused>");
}

}  // namespace
