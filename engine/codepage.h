#pragma once
// The one place where texts change encoding. The program keeps every text as
// 8-bit bytes in the system code page (936 on the systems it is made for);
// its own literals are written in UTF-8 and converted here.
#include <string>

// A UTF-8 literal in the system code page. Each distinct literal is converted
// once and cached, so calling this in a loop is cheap.
const std::string& SysText(const char* utf8);

// Conversions both ways, for texts that cross into UTF-8 APIs or files.
std::string SystemToUtf8(const std::string& system);
std::string Utf8ToSystem(const std::string& utf8);

// The UTF-8 text in the system code page only when every character has a
// code of its own there: false when one would become the default "?" or a
// best-fit look-alike (a Korean name, an emoji on a Chinese system).
bool Utf8ToSystemExact(const std::string& utf8, std::string& system);

#ifdef _WIN32
// The wide-character (UTF-16) texts of the system's W functions, losslessly.
std::string WideToUtf8(const std::wstring& wide);
std::wstring Utf8ToWide(const std::string& utf8);
#endif

// Code page 936 stores a character in one or two bytes; the second byte of a
// pair can look like an ASCII character, the backslash included. A lead byte
// starts a pair.
inline bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Offset of the last backslash that is a character of its own, or npos.
size_t LastBackslash(const std::string& path);
