#include "app_error.h"

#include "codepage.h"

namespace {

// Offset of the first byte of the last character of a code page 936 text.
size_t LastCharStart(const std::string& s) {
    size_t i = 0, last = 0;
    while (i < s.size()) {
        last = i;
        i += (IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) ? 2 : 1;
    }
    return last;
}

}  // namespace

ConversionError::ConversionError(const std::string& text)
    : AppError(SysText("'") + text + SysText("' 非有效的整数值")) {}

WriteError::WriteError(const std::string& path)
    : AppError(SysText("无法写入") + path) {}

std::string ErrorBoxText(const std::string& message) {
    if (message.empty()) return message;
    unsigned char first = static_cast<unsigned char>(message[LastCharStart(message)]);
    return first > '.' ? message + "." : message;
}

std::string ApplicationTitle(const std::string& exePath) {
    std::string name = exePath.substr(exePath.find_last_of("\\/:") + 1);
    name = name.substr(0, name.find('.'));
    // Lower-case single-byte letters only; both bytes of a two-byte
    // character are left alone (a trail byte can look like an ASCII letter).
    size_t first = (!name.empty() && IsLeadByte(static_cast<unsigned char>(name[0]))) ? 2 : 1;
    for (size_t i = first; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (IsLeadByte(c)) {
            ++i;
        } else if (c >= 'A' && c <= 'Z') {
            name[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    return name;
}
