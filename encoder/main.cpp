// trancor: converts one video into a PSP MP4 file. Exit code 0 only when
// the output is complete and in place; 1 when the conversion failed; 2 for
// a command line that was refused before any file was touched.
#include <exception>
#include <new>

extern "C" {
#include <libavutil/log.h>
}

#include "console.h"
#include "convert.h"
#include "failure.h"
#include "options.h"

namespace {

int FfmpegLogLevel(const std::string& name) {
    static const int levels[] = {AV_LOG_QUIET, AV_LOG_ERROR, AV_LOG_WARNING, AV_LOG_INFO, AV_LOG_VERBOSE,
                                 AV_LOG_DEBUG};
    for (size_t i = 0; i < sizeof levels / sizeof levels[0]; ++i)
        if (name == kLogLevels[i]) return levels[i];
    return AV_LOG_QUIET;
}

int Run(int argc, char** argv) {
    ParsedCommand command;
    try {
        command = ParseCommandLine(ProgramArguments(argc, argv));
    } catch (const Failure& e) {
        PrintLine(std::string("trancor: ") + e.what());
        return 2;
    }
    if (command.show_help) {
        PrintLine(UsageText(), false);
        return 0;
    }
    // FFmpeg's decoders report every damaged packet, hundreds of lines for
    // a damaged file; the user gets the one line below instead.
    av_log_set_level(FfmpegLogLevel(command.options.log_level));
    try {
        const std::string warning = Convert(command.options);
        if (!warning.empty()) PrintLine("trancor: warning: " + warning);
        return 0;
    } catch (const Failure& e) {
        PrintLine(std::string("trancor: ") + e.what());
    } catch (const std::bad_alloc&) {
        PrintLine("trancor: out of memory");
    } catch (const std::exception& e) {
        PrintLine(std::string("trancor: internal error: ") + e.what());
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) { return Run(argc, argv); }
