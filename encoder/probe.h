#pragma once
// "trancor -probe FILE...": each source's length, so a front end can
// estimate output sizes before it converts anything. One line per file on
// stdout, in the order given: the length in microseconds, or -1 when the
// file cannot be read or states no length. Exit code 0.
#include <string>
#include <vector>

constexpr char kProbeOption[] = "-probe";

int ProbeLengths(const std::vector<std::string>& paths);
