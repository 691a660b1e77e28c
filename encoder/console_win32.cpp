#include <windows.h>

#include <cstdio>

#include "console.h"
#include "failure.h"
#include "utf.h"

// The C runtime's own splitting of the wide command line, as a wmain program
// gets it. Not CommandLineToArgvW: shell32 would load user32 and gdi32 into
// every run, which costs a console program's start under Wine.
struct StartupInfo {
    int new_mode;
};
extern "C" int __wgetmainargs(int* argc, wchar_t*** argv, wchar_t*** env, int expand_wildcards, StartupInfo* info);

std::vector<std::string> ProgramArguments(int, char**) {
    // The narrow argv is in the ANSI code page and loses characters outside
    // it; the wide command line has them all. The runtime owns the array.
    int count = 0;
    wchar_t** argv = nullptr;
    wchar_t** env = nullptr;
    StartupInfo info{0};
    if (__wgetmainargs(&count, &argv, &env, 0, &info) < 0 || !argv)
        throw Failure(FailureReason::Internal, "cannot read the command line");
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) args.push_back(WideToUtf8(argv[i]));
    return args;
}

void PrintLine(const std::string& text, bool error) {
    HANDLE handle = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    if (handle != INVALID_HANDLE_VALUE && handle && GetConsoleMode(handle, &mode)) {
        // A console shows UTF-16 text whatever its code page.
        const std::wstring wide = Utf8ToWide(text + "\n");
        DWORD written = 0;
        WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
        return;
    }
    // Redirected: UTF-8 bytes, like the rest of the program's output.
    std::FILE* stream = error ? stderr : stdout;
    std::fputs(text.c_str(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

bool ErrorIsTerminal() {
    const HANDLE handle = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && handle && GetConsoleMode(handle, &mode);
}

void PrintProgressText(const std::string& text) {
    // Only ever called for a console (ErrorIsTerminal), which takes "\r".
    const std::wstring wide = Utf8ToWide(text);
    DWORD written = 0;
    WriteConsoleW(GetStdHandle(STD_ERROR_HANDLE), wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}
