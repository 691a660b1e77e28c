#pragma once
// The process's arguments and its error output, in UTF-8 on every system.
#include <string>
#include <vector>

// The arguments after the program name. On Windows they are taken from the
// UTF-16 command line, so names outside the system code page survive.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Writes one line to stderr (or stdout), readable on a Windows console too.
void PrintLine(const std::string& text, bool error = true);

// True when stderr is a terminal (a console on Windows), where a progress
// line is shown.
bool ErrorIsTerminal();
// Writes text to stderr as it is (no newline added): the progress line.
void PrintProgressText(const std::string& text);
