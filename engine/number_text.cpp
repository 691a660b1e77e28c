#include "number_text.h"

#include <atomic>
#include <cstdio>

#include "app_error.h"

namespace {

std::atomic<char> g_decimalMark{'.'};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool ParseHex(const std::string& s, size_t i, uint32_t& out) {
    if (i >= s.size()) return false;
    uint64_t v = 0;
    for (; i < s.size(); ++i) {
        int d = HexDigit(s[i]);
        if (d < 0) return false;
        v = v * 16 + static_cast<uint64_t>(d);
        if (v > 0xFFFFFFFFull) return false;
    }
    out = static_cast<uint32_t>(v);
    return true;
}

bool ParseDecimal(const std::string& s, size_t i, int32_t& out) {
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i >= s.size()) return false;
    const uint64_t limit = negative ? 2147483648ull : 2147483647ull;
    uint64_t v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return false;
        v = v * 10 + static_cast<uint64_t>(s[i] - '0');
        if (v > limit) return false;
    }
    out = static_cast<int32_t>(negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v));
    return true;
}

}  // namespace

std::string IntToText(int32_t value) { return std::to_string(value); }

std::string FloatToText(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    std::string s(buf);
    // %G never groups digits; its only mark is the C locale's full stop.
    for (char& c : s)
        if (c == '.') c = g_decimalMark.load();
    return s;
}

void SetDecimalMark(char mark) { g_decimalMark.store(mark ? mark : '.'); }
char DecimalMark() { return g_decimalMark.load(); }

int32_t TextToInt(const std::string& text) {
    size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos) throw ConversionError(text);
    bool ok;
    int32_t value = 0;
    if (text[i] == '$' || text[i] == 'x' || text[i] == 'X') {
        uint32_t bits = 0;
        ok = ParseHex(text, i + 1, bits);
        value = static_cast<int32_t>(bits);
    } else if (text[i] == '0' && i + 1 < text.size() && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        uint32_t bits = 0;
        ok = ParseHex(text, i + 2, bits);
        value = static_cast<int32_t>(bits);
    } else {
        ok = ParseDecimal(text, i, value);
    }
    if (!ok) throw ConversionError(text);
    return value;
}
