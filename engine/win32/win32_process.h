#pragma once
// The encoder process on Windows: CreateProcessA, WaitForSingleObject,
// TerminateProcess, SuspendThread on each of its threads; each encoder in the program's
// kill-on-close job (encoder_job.h).
#include "../encoder_process.h"

class Win32ProcessLauncher final : public ProcessLauncher {
public:
    // The caller's own start-up record with only STARTF_USESHOWWINDOW and
    // SW_HIDE; no application name; handles inherited; CREATE_NEW_CONSOLE;
    // the caller's environment and current folder. Created suspended and
    // resumed right after `beforeRun`, so the encoder's progress record
    // exists before the encoder does anything (the command line stays as it
    // is: the record is found by the process id).
    std::unique_ptr<EncoderRun> Start(const std::string& commandLine, const BeforeRun& beforeRun) override;
    // With an output file, STARTF_USESTDHANDLES is added and both stdout and
    // stderr are an inheritable append-only handle to it.
    std::unique_ptr<EncoderRun> StartWithOutput(const std::string& commandLine, const BeforeRun& beforeRun,
                                                const std::string& outputFile) override;
};
