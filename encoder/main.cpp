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

namespace {

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
    // FFmpeg's own messages only when something is wrong.
    av_log_set_level(AV_LOG_ERROR);
    try {
        Convert(command.options);
        return 0;
    } catch (const Failure& e) {
        PrintLine(std::string("trancor: ") + e.what());
    } catch (const std::exception& e) {
        PrintLine(std::string("trancor: internal error: ") + e.what());
    }
    return 1;
}

}  // namespace

int main(int argc, char** argv) { return Run(argc, argv); }
