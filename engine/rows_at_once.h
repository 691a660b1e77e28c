#pragma once
// How many rows of a batch convert at once.

// The "同时转换:" choice: 0-3 are one to four rows; 4 ("自动") one per
// four logical processors, at least 1 and at most 4. Anything else is one
// row at a time, as a Config.ini without the key reads.
int RowsAtOnce(int simultaneousChoice, int logicalProcessors);
