#pragma once
// The running program's own file.
#include <string>

// The full path of the program's executable (system code page).
std::string ExecutablePath();
