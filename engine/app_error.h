#pragma once
// The two failures the program raises and shows in its error box, and the
// rules that shape that box. All texts are in the system code page.
#include <stdexcept>
#include <string>

// An error whose message is shown to the user as it stands.
class AppError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// "'<text>' 非有效的整数值": a text that is not a whole number.
class ConversionError : public AppError {
public:
    explicit ConversionError(const std::string& text);
};

// "无法写入<path>": a write to the settings file that the system refused.
class WriteError : public AppError {
public:
    explicit WriteError(const std::string& path);
};

// The error box's text: the message, with "." appended when the first byte of
// its last character (one or two bytes in code page 936) is above '.'.
std::string ErrorBoxText(const std::string& message);

// The application's title: the executable's file name without folder, cut
// before its first '.', every character after the first in lower case.
std::string ApplicationTitle(const std::string& exePath);
