#pragma once
// The things the program asks the Windows shell to open: the support mail,
// the home page (with the IEXPLORE.EXE fallback) and the output folder.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// The publisher's addresses.
extern const char kSupportMailAddress[];
extern const char kHomePageAddress[];

// One "open" request to the shell: file, parameters (may be null), show
// command; returns the shell's result (32 or less is a failure).
using ShellOpen = std::function<intptr_t(const char* file, const char* parameters, int show)>;

// The home page with show command 5; when the shell fails (result 32 or
// less), "IEXPLORE.EXE" with the address as its parameter; that second
// result is ignored.
void OpenHomePage(const ShellOpen& open);

// The shell itself, with no owner window and no working folder.
intptr_t ShellOpenNoOwner(const char* file, const char* parameters, int show);

// "mailto:" + the support address, show command 1, result ignored.
void WriteToSupport();

// Opens `folder` (system code page) with `owner` as the owner of anything
// the shell shows; show command 5; result ignored. Only an existing folder
// is opened: "open" on a hand-edited Output naming a program would run it.
// Anything else, an empty text included, does nothing.
void OpenFolder(HWND owner, const std::string& folder);
// The same with the shell request given; true when it was made.
bool OpenFolder(const std::string& folder, const ShellOpen& open);

// Opens an existing file (a row's log) with its associated program, show
// command 1; a file that has gone (removed with the oldest logs) does nothing.
void OpenFileWithItsProgram(HWND owner, const std::string& path);
