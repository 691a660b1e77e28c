#include "rows_at_once.h"

#include <algorithm>

int RowsAtOnce(int simultaneousChoice, int logicalProcessors) {
    constexpr int kAutomatic = 4;
    if (simultaneousChoice >= 0 && simultaneousChoice < kAutomatic) return simultaneousChoice + 1;
    if (simultaneousChoice == kAutomatic) return std::clamp(logicalProcessors / 4, 1, 4);
    return 1;
}
