#pragma once
// The settings dialog: a working copy of the conversion settings, six quality
// presets, "默认", "确定" and "取消". Created once, hidden, at program start and
// reused for every showing, so its controls keep their state in between.
#include <windows.h>

class TSettingForm {
public:
    // Creates the process-wide SettingForm (hidden). Call once, after Form1.
    static void CreateForm(HINSTANCE instance);

    // Shows the dialog modally over `owner` and returns when it closes:
    // IDOK through "确定", IDCANCEL through "取消" or the close box.
    int ShowModal(HWND owner);

    HWND Handle() const { return handle_; }

private:
    HWND handle_ = nullptr;
};

extern TSettingForm* SettingForm;
