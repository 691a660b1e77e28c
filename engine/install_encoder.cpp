#include "install_encoder.h"

#include "process_state.h"

void InstallEncoder(SystemFiles& files) {
    static const char* const kRenames[][2] = {
        {"trancor1.dll", "trancor.exe"},
        {"trancor2.dll", "pthreadGC2.dll"},
        {"trancor3.dll", "AVSredirect.dll"},
    };
    const std::string folder = files.SystemFolder();
    for (const auto& rename : kRenames)
        files.RenameNoReplace(folder + "\\" + rename[0], folder + "\\" + rename[1]);
    EncoderPath = folder + "\\trancor.exe";
}
