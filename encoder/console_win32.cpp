#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <memory>

#include "console.h"
#include "failure.h"
#include "utf.h"

std::vector<std::string> ProgramArguments(int, char**) {
    // The narrow argv is in the ANSI code page and loses characters outside
    // it; the wide command line has them all.
    int count = 0;
    struct LocalDeleter {
        void operator()(LPWSTR* p) const { LocalFree(p); }
    };
    std::unique_ptr<LPWSTR, LocalDeleter> argv(CommandLineToArgvW(GetCommandLineW(), &count));
    if (!argv) throw Failure(FailureReason::Internal, "cannot read the command line");
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) args.push_back(WideToUtf8(argv.get()[i]));
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
