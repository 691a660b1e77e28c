#include "first_start.h"

namespace {

// A PSP connected by USB (or its memory stick in a card reader) shows a
// "PSP" folder in its root; "MP_ROOT" is where it keeps videos.
std::string PspVideoFolder(FirstStartSystem& system) {
    for (char letter : system.DriveLetters()) {
        std::string root = std::string(1, letter) + ":\\";
        if (!system.FolderExists(root + "PSP") && !system.FolderExists(root + "MP_ROOT")) continue;
        std::string mpRoot = root + "MP_ROOT";
        std::string videos = mpRoot + "\\100MNV01";
        if ((system.FolderExists(mpRoot) || system.CreateFolder(mpRoot)) &&
            (system.FolderExists(videos) || system.CreateFolder(videos))) {
            return videos;
        }
        // A write-protected memory stick: try the next drive.
    }
    return std::string();
}

}  // namespace

std::string FirstStartOutput(FirstStartSystem& system) {
    std::string psp = PspVideoFolder(system);
    if (!psp.empty()) return psp;
    for (const std::string& folder : {system.VideosFolder(), system.DocumentsFolder()}) {
        if (!folder.empty() && system.FolderExists(folder)) return folder;
    }
    return std::string();
}

bool ApplyFirstStart(FirstStartSystem& system, const std::string& configPath,
                     ConversionSettings& settings, int32_t& nextNumber) {
    if (!system.Missing(configPath)) return false;
    settings = DefaultSettings();
    settings.Output = FirstStartOutput(system);
    nextNumber = settings.PspNumber;
    return true;
}
