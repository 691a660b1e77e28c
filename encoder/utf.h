#pragma once
// UTF-8 <-> UTF-16 for the Windows build: the encoder works in UTF-8 and
// converts only where it talks to Windows, so no code page ever applies.
#ifdef _WIN32
#include <string>

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
#endif
