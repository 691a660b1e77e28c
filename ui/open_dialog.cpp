#include "open_dialog.h"

#include <commdlg.h>

#include "codepage.h"
#include "file_selection.h"

namespace {

// Room for the folder and every chosen name, each closed by a zero.
constexpr DWORD kNameBufferSize = 65519;

// The filter's "|" separators become the zeros the dialog expects.
std::string FilterText() {
    std::string filter = SysText(
        "所有支持的视频格式|*.avi;*.mpeg;*.mpg;*.asf;*.mov;*.wmv|AVI|*.avi|MPEG|*.mpeg|"
        "MPG|*.mpg|ASF|*.asf|MOV|*.mov|WMV|*.wmv");
    for (char& c : filter) {
        if (c == '|') c = '\0';
    }
    filter.push_back('\0');
    return filter;
}

}  // namespace

std::vector<std::string> RunOpenDialog(HWND owner) {
    std::string filter = FilterText();
    std::vector<char> names(kNameBufferSize, '\0');

    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = names.data();
    ofn.nMaxFile = kNameBufferSize;
    ofn.lpstrDefExt = "*";
    ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY;
    if (!GetOpenFileNameA(&ofn)) return {};
    return ParseOpenDialogNames(names.data(), names.size());
}
