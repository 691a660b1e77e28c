#include "install_encoder.h"

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

    const std::string inSystemFolder = folder + "\\trancor.exe";
    EncoderPath = inSystemFolder;
    EncoderNotFoundAt.clear();
    if (files.FileExists(inSystemFolder)) return;
    if (!programFolder.empty()) {
        const std::string besideProgram = programFolder + "\\trancor.exe";
        if (files.FileExists(besideProgram)) {
            EncoderPath = besideProgram;
            return;
        }
        EncoderNotFoundAt = {inSystemFolder, besideProgram};
        return;
    }
    EncoderNotFoundAt = {inSystemFolder};
}
