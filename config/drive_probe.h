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

// Runs `task` on a new thread that nobody waits for; false when no thread
// could be made. Windows has its own (win32/detached_task_win32.cpp): there
// the task goes straight to the system's thread, without the C++ runtime's
// detached threads, which were seen to start on a null state under Wine
// while a fresh prefix made its first start slow.
bool RunDetached(std::function<void()> task);
