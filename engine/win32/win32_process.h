#pragma once
// The encoder process on Windows: CreateProcessA, WaitForSingleObject,
// TerminateProcess.
#include "../encoder_process.h"

class Win32ProcessLauncher final : public ProcessLauncher {
public:
    // The caller's own start-up record with only STARTF_USESHOWWINDOW and
    // SW_HIDE; no application name; handles inherited; CREATE_NEW_CONSOLE;
    // the caller's environment and current folder.
    std::unique_ptr<EncoderRun> Start(const std::string& commandLine) override;
};
