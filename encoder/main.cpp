// trancor: converts one video into a PSP MP4 file. Exit code 0 only when
// the output is complete and in place; 1 when the conversion failed; 2 for
// a command line that was refused before any file was touched.
#include <exception>

extern "C" {
#include <libavutil/log.h>
}

#include "console.h"
#include "convert.h"
#include "failure.h"
#include "options.h"
#include "run_progress.h"

namespace {

int Fail(RunProgress& progress, FailureReason reason, const std::string& text, int code) {
    progress.Failed(reason, text);
    PrintLine("trancor: " + text);
    return code;
}

int Run(int argc, char** argv, RunProgress& progress) {
    ParsedCommand command;
    try {
        command = ParseCommandLine(ProgramArguments(argc, argv));
    } catch (const Failure& e) {
        return Fail(progress, e.reason(), e.what(), 2);
    }
    if (command.show_help) {
        PrintLine(UsageText(), false);
        progress.Succeeded();
        return 0;
    }
    // FFmpeg's own messages only when something is wrong.
    av_log_set_level(AV_LOG_ERROR);
    try {
        Convert(command.options, progress);
        progress.Succeeded();
        return 0;
    } catch (const Failure& e) {
        return Fail(progress, e.reason(), e.what(), 1);
    } catch (const std::exception& e) {
        return Fail(progress, FailureReason::Internal, std::string("internal error: ") + e.what(), 1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    // First of all, so that even a refused command line is published.
    RunProgress progress;
    const int code = Run(argc, argv, progress);
    progress.WaitForReader();
    return code;
}
