#pragma once
// The first start: without Config.ini beside the program the settings begin
// at DefaultSettings() and the output folder at one that exists, so the
// first conversion can succeed. An existing Config.ini is read as always
// (settings_store.h), however incomplete - and so is one that exists but
// cannot be looked at now (locked, access denied): first-start values never
// replace the user's settings.
#include <cstdint>
#include <memory>
#include <string>

#include "../engine/conversion_settings.h"

// What the first start asks of the system. Paths in the system code page.
class FirstStartSystem {
public:
    virtual ~FirstStartSystem() = default;
    // True only when the system says nothing by that name exists, neither a
    // file nor a folder (no such file, no such folder on the way); any other
    // failure to look is not an answer.
    virtual bool Missing(const std::string& path) = 0;
    // The letters of the drives that may hold a PSP and answered at once, in
    // letter order ("CDZ"): a drive slow to answer is left out.
    virtual std::string DriveLetters() = 0;
    virtual bool FolderExists(const std::string& path) = 0;
    // Creates one folder whose parent exists; true when it exists afterwards.
    virtual bool CreateFolder(const std::string& path) = 0;
    // The user's Videos and Documents folders, "" when the system cannot
    // name them (or not in the code page).
    virtual std::string VideosFolder() = 0;
    virtual std::string DocumentsFolder() = 0;
};

// The output folder of a first start: the first drive in letter order whose
// root holds a PSP or MP_ROOT folder, as <drive>:\MP_ROOT\100MNV01 (created
// when missing); else the Videos folder; else Documents; "" when none of
// them exists.
std::string FirstStartOutput(FirstStartSystem& system);

// When `configPath` is missing: the settings, NextNumber and Output of a
// first start; true. Otherwise nothing changes and the caller reads the file;
// false.
bool ApplyFirstStart(FirstStartSystem& system, const std::string& configPath,
                     ConversionSettings& settings, int32_t& nextNumber);

// The system's own services (Windows only).
std::unique_ptr<FirstStartSystem> MakeSystemFirstStart();
