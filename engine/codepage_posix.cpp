// Outside Windows the "system code page" is GBK (936), so the native build
// handles the same bytes as the program does on a Chinese Windows.
#include <iconv.h>

#include <cerrno>
#include <memory>
#include <optional>
#include <stdexcept>

#include "codepage.h"

namespace {

// With `strict`, a character the target cannot hold fails the whole
// conversion (nullopt) instead of becoming '?'.
std::optional<std::string> Convert(const char* to, const char* from, const std::string& in,
                                   bool strict) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv_open failed");
    std::unique_ptr<void, int (*)(iconv_t)> guard(cd, iconv_close);
    std::string out(in.size() * 4 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = out.data();
    size_t dstLeft = out.size();
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<size_t>(-1)) {
            if (errno != EILSEQ && errno != EINVAL) break;
            if (strict) return std::nullopt;
            // Keep an unconvertible byte as '?' rather than losing the rest.
            ++src;
            --srcLeft;
            *dst++ = '?';
            --dstLeft;
        }
    }
    out.resize(out.size() - dstLeft);
    return out;
}

}  // namespace

std::string SystemToUtf8(const std::string& system) { return *Convert("UTF-8", "GBK", system, false); }
std::string Utf8ToSystem(const std::string& utf8) { return *Convert("GBK", "UTF-8", utf8, false); }

bool Utf8ToSystemExact(const std::string& utf8, std::string& system) {
    std::optional<std::string> converted = Convert("GBK", "UTF-8", utf8, true);
    if (!converted) return false;
    system = *converted;
    return true;
}
