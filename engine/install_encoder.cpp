#include "install_encoder.h"

#include <vector>

#include "process_state.h"

void InstallEncoder(SystemFiles& files, const std::string& programFolder) {
    static const char* const kRenames[][2] = {
        {"trancor1.dll", "trancor.exe"},
        {"trancor2.dll", "pthreadGC2.dll"},
        {"trancor3.dll", "AVSredirect.dll"},
    };
    const std::string folder = files.SystemFolder();
    for (const auto& rename : kRenames)
        files.RenameNoReplace(folder + "\\" + rename[0], folder + "\\" + rename[1]);

    // The system folder first; beside the program only when that has none.
    std::vector<std::string> candidates{folder + "\\trancor.exe"};
    if (!programFolder.empty()) candidates.push_back(programFolder + "\\trancor.exe");
    EncoderPath = candidates.front();
    EncoderNotFoundAt.clear();
    for (const std::string& candidate : candidates) {
        if (files.FileExists(candidate)) {
            EncoderPath = candidate;
            return;
        }
    }
    EncoderNotFoundAt = candidates;
}
