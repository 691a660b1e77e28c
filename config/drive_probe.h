#pragma once
// Questions to the drives that must not hold up the caller: a sleeping USB
// disk or a card reader can take seconds to answer, and the first start asks
// on the window's thread.
#include <chrono>
#include <functional>
#include <string>

// Asks `probe` about every letter at once, each on a thread of its own, and
// returns, in the order given, the letters it said yes to within `limit`. A
// probe still running then is left to finish on its own (it holds nothing of
// the caller's), so a slow drive costs at most `limit` and counts as no.
std::string LettersAnsweringYes(const std::string& letters, const std::function<bool(char)>& probe,
                                std::chrono::milliseconds limit);
