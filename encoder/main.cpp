// trancor: converts one video into a PSP MP4 file. Exit code 0 only when
// the output is complete and in place; 1 when the conversion failed; 2 for
// a command line that was refused before any file was touched.
#include <exception>
#include <new>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "console.h"
#include "convert.h"
#include "failure.h"
#include "options.h"
#include "probe.h"
#include "run_progress.h"

namespace {

int Fail(RunProgress& progress, FailureReason reason, const std::string& text, int code) {
    progress.Failed(reason, text);
    PrintLine("trancor: " + text);
    return code;
}

int FfmpegLogLevel(const std::string& name) {
    static const int levels[] = {AV_LOG_QUIET, AV_LOG_ERROR, AV_LOG_WARNING, AV_LOG_INFO, AV_LOG_VERBOSE,
                                 AV_LOG_DEBUG};
    for (size_t i = 0; i < sizeof levels / sizeof levels[0]; ++i)
        if (name == kLogLevels[i]) return levels[i];
    return AV_LOG_QUIET;
}

int Run(const std::vector<std::string>& args, RunProgress& progress) {
    if (!args.empty() && args[0] == kProbeOption) {
        av_log_set_level(AV_LOG_QUIET);
        const int code = ProbeLengths(std::vector<std::string>(args.begin() + 1, args.end()));
        progress.Succeeded();
        return code;
    }
    ParsedCommand command;
    try {
        command = ParseCommandLine(args);
    } catch (const Failure& e) {
        return Fail(progress, e.reason(), e.what(), 2);
    }
    // A front end that named a record waits for it in vain: tell it now.
    if (!command.options.progress_name.empty() && !progress.publishing())
        return Fail(progress, FailureReason::BadCommandLine,
                    "-progress-name: no progress record '" + command.options.progress_name +
                        "' to open (the caller creates it before it starts trancor)",
                    2);
    if (command.show_help) {
        PrintLine(UsageText(), false);
        progress.Succeeded();
        return 0;
    }
    // FFmpeg's decoders report every damaged packet, hundreds of lines for
    // a damaged file; the user gets the one line below instead.
    av_log_set_level(FfmpegLogLevel(command.options.log_level));
    try {
        const std::string warning = Convert(command.options, progress);
        progress.Succeeded();
        if (!warning.empty()) PrintLine("trancor: warning: " + warning);
        return 0;
    } catch (const Failure& e) {
        return Fail(progress, e.reason(), e.what(), 1);
    } catch (const std::bad_alloc&) {
        return Fail(progress, FailureReason::Internal, "out of memory", 1);
    } catch (const std::exception& e) {
        return Fail(progress, FailureReason::Internal, std::string("internal error: ") + e.what(), 1);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args = ProgramArguments(argc, argv);
    // First of all, so that even a refused command line is published.
    RunProgress progress(ProgressNameArgument(args));
    return Run(args, progress);
}
