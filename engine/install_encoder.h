#pragma once
// Gives the encoder and its two libraries, installed in the system folder
// under neutral names, their working names, and sets EncoderPath.
#include <string>

#include "system_files.h"

// In files.SystemFolder(), in this order and without ever replacing a file:
// "trancor1.dll" -> "trancor.exe", "trancor2.dll" -> "pthreadGC2.dll",
// "trancor3.dll" -> "AVSredirect.dll". Failed renames are ignored (the first
// start after an installation does the work, later starts find nothing to
// do). Then EncoderPath := folder + "\trancor.exe", whatever happened; an
// empty folder gives names from the root of the current drive.
// Unpacked or installed without the system folder, the encoder sits beside
// the program: when the system folder holds no "trancor.exe" and
// `programFolder` (no trailing backslash; "" = unknown) does, EncoderPath is
// that one. When neither holds it, EncoderPath stays the system folder's and
// EncoderNotFoundAt lists both paths for the rows' failure reasons.
// (Windows: engine/win32/system_services.h has the variant on the real
// system folder and the program's own.)
void InstallEncoder(SystemFiles& files, const std::string& programFolder);
