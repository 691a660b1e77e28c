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
