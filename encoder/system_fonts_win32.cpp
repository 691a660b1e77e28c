#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "system_fonts.h"
#include "utf.h"

namespace {

struct MemoryDc {
    HDC dc = CreateCompatibleDC(nullptr);
    ~MemoryDc() {
        if (dc) DeleteDC(dc);
    }
};

struct FontHandle {
    HFONT font;
    ~FontHandle() {
        if (font) DeleteObject(font);
    }
};

int CALLBACK AddFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD type, LPARAM families) {
    // "@Name" is the same family turned for vertical writing.
    if ((type & TRUETYPE_FONTTYPE) && font->lfFaceName[0] != L'@')
        reinterpret_cast<std::vector<std::wstring>*>(families)->push_back(font->lfFaceName);
    return 1;
}

// The family names (IDs 1 and 16, Windows platform) in the name table of the
// font selected into `dc`.
std::vector<std::wstring> OwnFamilyNames(HDC dc) {
    const DWORD kNameTable = 'n' | 'a' << 8 | 'm' << 16 | 'e' << 24;
    const DWORD size = GetFontData(dc, kNameTable, 0, nullptr, 0);
    if (size == GDI_ERROR || size < 6) return {};
    std::vector<unsigned char> table(size);
    if (GetFontData(dc, kNameTable, 0, table.data(), size) != size) return {};
    auto u16 = [&](size_t at) { return at + 2 <= table.size() ? table[at] << 8 | table[at + 1] : 0; };
    std::vector<std::wstring> names;
    const size_t strings = u16(4);
    for (int i = 0, count = u16(2); i < count; ++i) {
        const size_t record = 6 + 12 * static_cast<size_t>(i);
        const int name_id = u16(record + 6);
        if (u16(record) != 3 || (name_id != 1 && name_id != 16)) continue;
        std::wstring name;
        for (size_t k = 0, at = strings + u16(record + 10); k + 1 < static_cast<size_t>(u16(record + 8)); k += 2)
            name += static_cast<wchar_t>(u16(at + k));
        names.push_back(name);
    }
    return names;
}

}  // namespace

// The families GDI lists for simplified Chinese, those Chinese Windows ships
// first. Only a family that is itself a font counts: a name that the system
// maps to another font (a substitute) is not found under that name by
// DirectWrite. Without a fallback of its own a style naming a font the
// system lacks would draw nothing where DirectWrite's per-character fallback
// knows no font (as on some systems it does not).
std::string CjkFallbackFamily() {
    static const wchar_t* const kPreferred[] = {L"Microsoft YaHei", L"微软雅黑", L"SimHei", L"黑体",
                                                L"SimSun",          L"宋体"};
    MemoryDc memory;
    if (!memory.dc) return "";
    LOGFONTW wanted{};
    wanted.lfCharSet = GB2312_CHARSET;
    std::vector<std::wstring> families;
    EnumFontFamiliesExW(memory.dc, &wanted, AddFamily, reinterpret_cast<LPARAM>(&families), 0);
    std::stable_sort(families.begin(), families.end(), [](const std::wstring& a, const std::wstring& b) {
        auto rank = [](const std::wstring& f) {
            return std::find(std::begin(kPreferred), std::end(kPreferred), f) - std::begin(kPreferred);
        };
        return rank(a) < rank(b);
    });
    for (const std::wstring& family : families) {
        LOGFONTW font{};
        font.lfCharSet = GB2312_CHARSET;
        family.copy(font.lfFaceName, LF_FACESIZE - 1);
        const FontHandle handle{CreateFontIndirectW(&font)};
        if (!handle.font || !SelectObject(memory.dc, handle.font)) continue;
        const std::vector<std::wstring> names = OwnFamilyNames(memory.dc);
        if (std::find(names.begin(), names.end(), family) != names.end()) return WideToUtf8(family);
    }
    return "";
}
