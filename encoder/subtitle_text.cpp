#include "subtitle_text.h"

#include <cstdint>

namespace {

void AppendUtf8(uint32_t c, std::string* out) {
    if (c < 0x80) {
        *out += static_cast<char>(c);
    } else if (c < 0x800) {
        *out += static_cast<char>(0xC0 | (c >> 6));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *out += static_cast<char>(0xE0 | (c >> 12));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (c >> 18));
        *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool Utf16ToUtf8(const std::string& bytes, size_t start, bool big_endian, std::string* utf8) {
    if ((bytes.size() - start) % 2) return false;
    utf8->clear();
    auto unit = [&](size_t i) {
        const auto a = static_cast<uint8_t>(bytes[i]), b = static_cast<uint8_t>(bytes[i + 1]);
        return static_cast<uint32_t>(big_endian ? (a << 8 | b) : (b << 8 | a));
    };
    for (size_t i = start; i < bytes.size(); i += 2) {
        uint32_t c = unit(i);
        if (c >= 0xD800 && c < 0xDC00) {  // a pair's first half needs its second
            if (i + 3 >= bytes.size()) return false;
            const uint32_t low = unit(i + 2);
            if (low < 0xDC00 || low >= 0xE000) return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if (c >= 0xDC00 && c < 0xE000) {
            return false;
        }
        AppendUtf8(c, utf8);
    }
    return true;
}

bool IsUtf8(const std::string& bytes) {
    for (size_t i = 0; i < bytes.size();) {
        const auto c = static_cast<uint8_t>(bytes[i]);
        const int follow = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (follow < 0 || (follow == 1 && c < 0xC2) || bytes.size() - i <= static_cast<size_t>(follow)) return false;
        for (int k = 1; k <= follow; ++k)
            if ((static_cast<uint8_t>(bytes[i + k]) & 0xC0) != 0x80) return false;
        i += follow + 1;
    }
    return true;
}

}  // namespace

bool SubtitleTextToUtf8(const std::string& bytes, std::string* utf8) {
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        *utf8 = bytes.substr(3);
        return IsUtf8(*utf8);
    }
    if (bytes.compare(0, 2, "\xFF\xFE") == 0) return Utf16ToUtf8(bytes, 2, false, utf8);
    if (bytes.compare(0, 2, "\xFE\xFF") == 0) return Utf16ToUtf8(bytes, 2, true, utf8);
    if (IsUtf8(bytes)) {
        *utf8 = bytes;
        return true;
    }
    return SystemCodePageToUtf8(bytes, utf8);
}
