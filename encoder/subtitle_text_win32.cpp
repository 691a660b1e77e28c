#include <windows.h>

#include "subtitle_text.h"
#include "utf.h"

// The ANSI code page: 936 (GBK) on a Chinese Windows.
bool SystemCodePageToUtf8(const std::string& bytes, std::string* utf8) {
    if (bytes.empty()) {
        utf8->clear();
        return true;
    }
    const int size = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (n <= 0) return false;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), n);
    *utf8 = WideToUtf8(wide);
    return true;
}
