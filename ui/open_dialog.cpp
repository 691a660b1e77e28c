#include "open_dialog.h"

#include <commdlg.h>

#include "codepage.h"
#include "file_selection.h"

namespace {

// Room for the folder and every chosen name, each closed by a zero.
constexpr DWORD kNameBufferSize = 65519;

// The filter's "|" separators become the zeros the dialog expects.
std::wstring FilterText() {
    std::wstring filter = Utf8ToWide(kOpenDialogFilter);
    for (wchar_t& c : filter) {
        if (c == L'|') c = L'\0';
    }
    filter.push_back(L'\0');
    return filter;
}

}  // namespace

std::vector<std::string> RunOpenDialog(HWND owner) {
    std::wstring filter = FilterText();
    std::vector<wchar_t> names(kNameBufferSize, L'\0');

    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = names.data();
    ofn.nMaxFile = kNameBufferSize;
    ofn.lpstrDefExt = L"*";
    ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&ofn)) return {};
    // The zeros between the names stay zeros in UTF-8.
    std::string utf8 = WideToUtf8(std::wstring(names.data(), names.size()));
    return ParseOpenDialogNames(utf8.data(), utf8.size());
}
