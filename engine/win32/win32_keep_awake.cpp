#include "win32_keep_awake.h"

#include <windows.h>

void Win32KeepAwake::Hold() { SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED); }

void Win32KeepAwake::Release() { SetThreadExecutionState(ES_CONTINUOUS); }
