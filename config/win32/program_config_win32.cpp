#include "../program_config.h"
#include "../settings_store.h"
#include "win32/executable_path.h"

std::string ProgramConfigPath() { return ConfigPath(ExecutablePath()); }
