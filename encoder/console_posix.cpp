#include <unistd.h>

#include <cstdio>

#include "console.h"

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

void PrintLine(const std::string& text, bool error) {
    std::FILE* stream = error ? stderr : stdout;
    std::fputs(text.c_str(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

bool ErrorIsTerminal() { return isatty(2) == 1; }

void PrintProgressText(const std::string& text) {
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
}
