// The decimal mark follows the user's regional settings (Windows only).
#ifdef _WIN32
#include <windows.h>

#include <gtest/gtest.h>

#include "conversion_settings.h"
#include "number_text.h"

namespace {

// Changes the user's decimal mark, as the regional settings panel does, and
// puts the old one back.
class UserDecimalMark {
public:
    explicit UserDecimalMark(const char* mark) {
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, old_, sizeof old_);
        SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, mark);
    }
    ~UserDecimalMark() { SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, old_); }
    UserDecimalMark(const UserDecimalMark&) = delete;
    UserDecimalMark& operator=(const UserDecimalMark&) = delete;

private:
    char old_[16] = {};
};

TEST(RegionalDecimalMark, IsReadFromTheUsersSettings) {
    RefreshDecimalMark();
    EXPECT_EQ(FrameRateText(1), "29.97");  // Chinese settings use a full stop
    {
        UserDecimalMark comma(",");
        RefreshDecimalMark();
        EXPECT_EQ(DecimalMark(), ',');
        EXPECT_EQ(FrameRateText(0), "14,985");
    }
    RefreshDecimalMark();
    EXPECT_EQ(DecimalMark(), '.');
}

}  // namespace
#endif
