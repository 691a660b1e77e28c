#pragma once
// Config.ini of the running program: beside its executable.
#include <string>

std::string ProgramConfigPath();
