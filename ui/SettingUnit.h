#pragma once
// The settings dialog: a working copy of the conversion settings, six quality
// presets, "默认", "确定" and "取消". Created once, hidden, at program start and
// reused for every showing, so its controls keep their state in between.
#include <windows.h>

#include <exception>
#include <string>
#include <vector>

#include "win_handles.h"

// Control ids; tests that drive the dialog from outside find controls by them.
// Button1 is IDOK so that Enter reaches it; no control is IDCANCEL, so the
// Escape key, which the dialog manager turns into IDCANCEL, does nothing.
enum SettingControlId : int {
    kIdButton1 = IDOK,
    kIdButton2 = 1002,
    kIdButton3 = 1003,
    kIdComboBox1 = 1101,
    kIdComboBox2 = 1102,
    kIdComboBox3 = 1103,
    kIdComboBox4 = 1104,
    kIdEdit1 = 1201,
    kIdEdit2 = 1202,
    kIdEdit3 = 1203,
    kIdUpDown1 = 1301,
    kIdUpDown2 = 1302,
    kIdTrackBar1 = 1401,
    kIdLabel7 = 1507,
};

class TSettingForm {
public:
    // Creates the process-wide SettingForm (hidden). Call once, after Form1.
    static void CreateForm(HINSTANCE instance);

    TSettingForm(const TSettingForm&) = delete;
    TSettingForm& operator=(const TSettingForm&) = delete;
    ~TSettingForm();

    // Shows the dialog modally over `owner` and returns when it closes:
    // IDOK through "确定", IDCANCEL through "取消" or the close box.
    int ShowModal(HWND owner);

    HWND Handle() const { return handle_; }

private:
    explicit TSettingForm(HINSTANCE instance);

    static INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void CreateControls();
    HWND AddControl(const char* className, const std::string& text, DWORD style, int id,
                    int left, int top, int width, int height, DWORD exStyle = 0);
    HWND AddLabel(const char* caption, int left, int top, int width, bool rightAligned);
    // `items` in the system code page.
    HWND AddDropDown(int id, int left, int top, int width, const std::vector<std::string>& items,
                     int selected);

    // Event handlers.
    void FormShow();
    void ComboBox1Change();
    void TrackBar1Change();
    void Button1Click();
    void Button3Click();

    // Moves TrackBar1 as the code does: the change handler runs only when
    // the position, brought into range, differs from the current one.
    void SetTrackBar1Position(int value);
    void UpDownStep(HWND edit, int direction);
    void ShowCentredTheFirstTime();

    HWND handle_ = nullptr;
    std::exception_ptr initFailure_;  // a failure while creating the controls
    UniqueFont font_;
    int modalResult_ = 0;
    bool showing_ = false;
    bool placed_ = false;
    int trackPosition_ = 0;  // where TrackBar1 was when its handler last could run

    HWND Label7 = nullptr;
    HWND ComboBox1 = nullptr, ComboBox2 = nullptr, ComboBox3 = nullptr, ComboBox4 = nullptr;
    HWND Edit1 = nullptr, Edit2 = nullptr, Edit3 = nullptr;
    HWND UpDown1 = nullptr, UpDown2 = nullptr;
    HWND TrackBar1 = nullptr;
    HWND Button1 = nullptr, Button2 = nullptr, Button3 = nullptr;
};

extern TSettingForm* SettingForm;
