#include <windows.h>

#include "../codepage.h"

namespace {

std::wstring ToWide(UINT codePage, const std::string& in) {
    if (in.empty()) return {};
    int n = MultiByteToWideChar(codePage, 0, in.data(), static_cast<int>(in.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, in.data(), static_cast<int>(in.size()), out.data(), n);
    return out;
}

std::string FromWide(UINT codePage, const std::wstring& in) {
    if (in.empty()) return {};
    int n = WideCharToMultiByte(codePage, 0, in.data(), static_cast<int>(in.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, in.data(), static_cast<int>(in.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

}  // namespace

std::string SystemToUtf8(const std::string& system) { return FromWide(CP_UTF8, ToWide(CP_ACP, system)); }
std::string Utf8ToSystem(const std::string& utf8) { return FromWide(CP_ACP, ToWide(CP_UTF8, utf8)); }

std::string WideToUtf8(const std::wstring& wide) { return FromWide(CP_UTF8, wide); }
std::wstring Utf8ToWide(const std::string& utf8) { return ToWide(CP_UTF8, utf8); }

bool Utf8ToSystemExact(const std::string& utf8, std::string& system) {
    std::wstring wide = ToWide(CP_UTF8, utf8);
    if (wide.empty()) {
        system.clear();
        return utf8.empty();
    }
    // Without WC_NO_BEST_FIT_CHARS the system quietly writes look-alikes
    // (an "a" for an "ä"), and a path written that way names another file;
    // the used-default flag catches the rest, which would become "?".
    BOOL usedDefault = FALSE;
    int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                static_cast<int>(wide.size()), nullptr, 0, nullptr, &usedDefault);
    if (n <= 0 || usedDefault) return false;
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                        out.data(), n, nullptr, &usedDefault);
    if (usedDefault) return false;
    system = std::move(out);
    return true;
}
