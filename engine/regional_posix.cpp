#include "number_text.h"

// Outside Windows the program has no regional settings of its own to follow.
void RefreshDecimalMark() { SetDecimalMark('.'); }
