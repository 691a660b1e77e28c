#include <windows.h>

#include "../number_text.h"

void RefreshDecimalMark() {
    char mark[8] = {};
    GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, mark, sizeof mark);
    SetDecimalMark(mark[0]);
}
