#include "SettingUnit.h"

#include <commctrl.h>

#include <exception>
#include <memory>
#include <stdexcept>
#include <vector>

#include "app_shell.h"
#include "codepage.h"
#include "ini_file.h"
#include "number_text.h"
#include "process_state.h"
#include "resource_ids.h"
#include "program_config.h"
#include "setting_rules.h"
#include "settings_store.h"

TSettingForm* SettingForm = nullptr;

namespace {

constexpr int kClientWidth = 333;
constexpr int kClientHeight = 392;
constexpr int kDropDownHeight = 21;
constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

// A dialog with no controls of its own: the controls are created in pixels
// afterwards, as dialog units would scale the layout with the font.
struct alignas(4) EmptyDialogTemplate {
    DLGTEMPLATE header;
    WORD menu, windowClass, title;
};

std::string TextOf(HWND control) {
    int length = GetWindowTextLengthA(control);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), length + 1)));
    return text;
}

void SetText(HWND control, const std::string& text) { SetWindowTextA(control, text.c_str()); }

// An index that is not one of the items leaves the list with no selection
// (CB_SETCURSEL alone does not clear it for every index on every system).
// Never runs the list's change handler: CB_SETCURSEL sends no CBN_SELCHANGE.
void SetDropDownIndex(HWND combo, int index) {
    int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
    SendMessageA(combo, CB_SETCURSEL, index >= 0 && index < count ? index : -1, 0);
}

// A control's rectangle in the dialog's client coordinates.
RECT ChildRect(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int DropDownIndex(HWND combo) { return static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0)); }

int TrackPosition(HWND trackBar) { return static_cast<int>(SendMessageA(trackBar, TBM_GETPOS, 0, 0)); }

void SaveProgramSettings() {
    std::unique_ptr<IniFile> ini = MakeSystemIniFile();
    SaveSettings(*ini, ProgramConfigPath(), Settings);
}

}  // namespace

void TSettingForm::CreateForm(HINSTANCE instance) {
    static std::unique_ptr<TSettingForm> form;
    if (form) return;
    form.reset(new TSettingForm(instance));
    SettingForm = form.get();
}

TSettingForm::TSettingForm(HINSTANCE instance) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    EmptyDialogTemplate layout{};
    layout.header.style = kFormStyle;
    HWND dialog = CreateDialogIndirectParamA(instance, &layout.header, nullptr, DialogProc,
                                             reinterpret_cast<LPARAM>(this));
    if (!dialog) throw std::runtime_error("CreateDialogIndirectParam failed");
    if (initFailure_) {
        DestroyWindow(dialog);
        std::rethrow_exception(initFailure_);
    }
}

TSettingForm::~TSettingForm() {
    if (handle_) {
        SetWindowLongPtrA(handle_, DWLP_USER, 0);
        DestroyWindow(handle_);
    }
}

INT_PTR CALLBACK TSettingForm::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* self = reinterpret_cast<TSettingForm*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        self->handle_ = dialog;
        // Handed back to the constructor, which throws it to the program's
        // start, instead of leaving a dialog without its controls.
        try {
            self->CreateControls();
        } catch (...) {
            self->initFailure_ = std::current_exception();
        }
        // No focus yet: the dialog manager gives it to the first tab stop,
        // "确定", when the dialog is first activated.
        return FALSE;
    }
    auto* self = reinterpret_cast<TSettingForm*>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_NCDESTROY) {
        // Destroyed with its owner, Form1, when the program ends.
        SetWindowLongPtrA(dialog, DWLP_USER, 0);
        self->handle_ = nullptr;
        return FALSE;
    }
    bool handled = false;
    LRESULT result = 0;
    Guarded([&] { handled = self->HandleMessage(message, wParam, lParam, result); });
    if (handled) SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
    return handled ? TRUE : FALSE;
}

bool TSettingForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id == kIdButton1 && code == BN_CLICKED) {
            Button1Click();
        } else if (id == kIdButton2 && code == BN_CLICKED) {
            modalResult_ = IDCANCEL;
        } else if (id == kIdButton3 && code == BN_CLICKED) {
            Button3Click();
        } else if (id == kIdComboBox1 && code == CBN_SELCHANGE) {
            ComboBox1Change();
        } else if (id != IDCANCEL) {
            return false;
        }
        // IDCANCEL comes from the Escape key only (no control carries it),
        // and Escape does nothing here.
        return true;
    }
    case WM_CLOSE:  // the close box and Alt+F4 cancel; the window stays
        modalResult_ = IDCANCEL;
        return true;
    case WM_HSCROLL:
        // Every movement by mouse or keyboard; TB_ENDTRACK only closes one.
        if (reinterpret_cast<HWND>(lParam) == TrackBar1 && LOWORD(wParam) != TB_ENDTRACK) {
            int position = TrackPosition(TrackBar1);
            if (position != trackPosition_) {
                trackPosition_ = position;
                TrackBar1Change();
            }
            return true;
        }
        return false;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == UDN_DELTAPOS &&
            (header->hwndFrom == UpDown1 || header->hwndFrom == UpDown2)) {
            const auto* change = reinterpret_cast<const NMUPDOWN*>(lParam);
            if (change->iDelta != 0) {
                UpDownStep(header->hwndFrom == UpDown1 ? Edit1 : Edit2, change->iDelta > 0 ? 1 : -1);
            }
            // The edit field is the value; the control's own position stays.
            result = TRUE;
            return true;
        }
        return false;
    }
    default:
        return false;
    }
}

HWND TSettingForm::AddControl(const char* className, const std::string& text, DWORD style, int id,
                              int left, int top, int width, int height, DWORD exStyle) {
    HWND control = CreateWindowExA(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style,
                                   left, top, width, height, handle_,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(handle_, GWLP_HINSTANCE)),
                                   nullptr);
    if (!control) throw std::runtime_error(std::string("CreateWindowEx failed: ") + className);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    return control;
}

HWND TSettingForm::AddLabel(const char* caption, int left, int top, int width, bool rightAligned) {
    return AddControl("STATIC", SysText(caption), rightAligned ? SS_RIGHT : SS_LEFT, -1, left, top,
                      width, 13);
}

HWND TSettingForm::AddDropDown(int id, int left, int top, int width,
                               const std::vector<std::string>& items, int selected) {
    // The height given at creation includes the opened list.
    HWND combo = AddControl(WC_COMBOBOXA, "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, id, left,
                            top, width, kDropDownHeight + 160);
    for (const std::string& item : items) {
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    }
    // The closed box's height follows its selection field's height: make it
    // 21. Measured after each setting because Wine's CB_GETITEMHEIGHT answers
    // 2 more than CB_SETITEMHEIGHT set; Windows gets it right the first time.
    LRESULT field = SendMessageA(combo, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    for (int attempt = 0; attempt < 3 && field > 0; ++attempt) {
        RECT box{};
        GetWindowRect(combo, &box);
        const int off = kDropDownHeight - (box.bottom - box.top);
        if (off == 0) break;
        field += off;
        SendMessageA(combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), field);
    }
    SetDropDownIndex(combo, selected);
    return combo;
}

void TSettingForm::CreateControls() {
    font_ = CreateFormFont();
    SendMessageA(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    SetText(handle_, SysText("设置"));
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kFormStyle, FALSE, static_cast<DWORD>(GetWindowLongPtrA(handle_, GWL_EXSTYLE)));
    SetWindowPos(handle_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (HICON icon = LoadIconA(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(handle_, GWLP_HINSTANCE)),
                               MAKEINTRESOURCEA(IDI_VIDQUILL))) {
        SendMessageA(handle_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    }

    // Created in tab order: the dialog manager tabs along the z-order.
    Button1 = AddControl("BUTTON", SysText("确定"), BS_DEFPUSHBUTTON | WS_TABSTOP, kIdButton1,
                         159, 362, 75, 25);
    std::vector<std::string> presets;
    for (int i = 0; i < kPresetCount; ++i) presets.push_back(SysText(PresetAt(i)->name));
    ComboBox1 = AddDropDown(kIdComboBox1, 136, 24, 137, presets, kStandardPreset);
    ComboBox2 = AddDropDown(kIdComboBox2, 136, 64, 121, {"320 X 240", "368 X 208", "400 X 192"}, 0);
    ComboBox3 = AddDropDown(kIdComboBox3, 136, 104, 121, {"14.985", "29.97"}, 1);
    ComboBox4 = AddDropDown(kIdComboBox4, 136, 224, 121,
                            {SysText("1 声道, 单声道"), SysText("2 声道, 立体声")}, 1);

    const DWORD editStyle = ES_AUTOHSCROLL | WS_TABSTOP;
    const DWORD upDownStyle = UDS_ARROWKEYS | UDS_NOTHOUSANDS;  // no wrap, no buddy integer
    Edit1 = AddControl("EDIT", "10", editStyle, kIdEdit1, 136, 144, 105, 21, WS_EX_CLIENTEDGE);
    UpDown1 = AddControl(UPDOWN_CLASSA, "", upDownStyle, kIdUpDown1, 241, 144, 15, 21);
    Edit2 = AddControl("EDIT", "10", editStyle, kIdEdit2, 136, 184, 105, 21, WS_EX_CLIENTEDGE);
    UpDown2 = AddControl(UPDOWN_CLASSA, "", upDownStyle, kIdUpDown2, 241, 184, 15, 21);
    UDACCEL oneAtATime{0, 1};  // held arrows repeat in steps of 1, never faster
    for (auto [upDown, edit] : {std::pair{UpDown1, Edit1}, std::pair{UpDown2, Edit2}}) {
        SendMessageA(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit), 0);
        // Wine widens a new up-down control to 16 pixels; the layout has 15.
        RECT place = ChildRect(edit);
        SetWindowPos(upDown, nullptr, place.right, place.top, 15, place.bottom - place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageA(upDown, UDM_SETRANGE32, kBitRateMin, kBitRateMax);
        // The field's text is the value (UDN_DELTAPOS steps it and refuses
        // the control's own move), so the control's position never moves.
        // It is kept inside the range: a control resting at an end might not
        // report the arrow pointing past it, whatever the field shows.
        SendMessageA(upDown, UDM_SETPOS32, 0, (kBitRateMin + kBitRateMax) / 2);
        SendMessageA(upDown, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&oneAtATime));
    }

    TrackBar1 = AddControl(TRACKBAR_CLASSA, "",
                           TBS_HORZ | TBS_TOP | TBS_AUTOTICKS | TBS_FIXEDLENGTH | WS_TABSTOP,
                           kIdTrackBar1, 136, 264, 121, 33);
    SendMessageA(TrackBar1, TBM_SETRANGEMIN, FALSE, kVolumeMin);
    SendMessageA(TrackBar1, TBM_SETRANGEMAX, FALSE, kVolumeMax);
    SendMessageA(TrackBar1, TBM_SETTICFREQ, 10, 0);
    SendMessageA(TrackBar1, TBM_SETLINESIZE, 0, 1);
    SendMessageA(TrackBar1, TBM_SETPAGESIZE, 0, 2);
    SendMessageA(TrackBar1, TBM_SETTHUMBLENGTH, 15, 0);
    SendMessageA(TrackBar1, TBM_SETPOS, TRUE, 0);
    trackPosition_ = 0;

    Button2 = AddControl("BUTTON", SysText("取消"), BS_PUSHBUTTON | WS_TABSTOP, kIdButton2,
                         244, 362, 75, 25);
    Button3 = AddControl("BUTTON", SysText("默认"), BS_PUSHBUTTON | WS_TABSTOP, kIdButton3,
                         20, 362, 75, 25);
    Edit3 = AddControl("EDIT", "30000", editStyle, kIdEdit3, 136, 312, 121, 21, WS_EX_CLIENTEDGE);

    AddLabel("配置文件:", 48, 25, 65, true);
    AddLabel("分辨率:", 48, 65, 65, true);
    AddLabel("帧率:", 48, 106, 65, true);
    AddLabel("视频品质:", 48, 146, 65, true);
    AddLabel("音频品质:", 48, 186, 65, true);
    AddLabel("声道:", 48, 227, 65, true);
    Label7 = AddControl("STATIC", InitialVolumeLabel(), SS_RIGHT, kIdLabel7, 32, 274, 81, 13);
    AddLabel("视频文件编号:", 8, 315, 105, true);
    AddLabel("KBPS", 272, 144, 41, false);
    AddLabel("KBPS", 272, 184, 41, false);
    AddControl("STATIC", "", SS_ETCHEDHORZ, -1, 8, 352, 313, 2);  // Bevel1

    SendMessageA(handle_, DM_SETDEFID, kIdButton1, 0);
}

int TSettingForm::ShowModal(HWND owner) {
    // Reached again from inside its own loop (a message handler of another
    // window): one showing at a time.
    if (showing_) return IDCANCEL;
    showing_ = true;
    SetWindowLongPtrA(handle_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));

    // A failure while filling (a refused save) is shown; the dialog opens all the same.
    Guarded([this] { FormShow(); });
    ShowCentredTheFirstTime();
    const int result = RunModal(handle_, modalResult_, ModalKeys::Dialog);
    showing_ = false;
    return result;
}

void TSettingForm::ShowCentredTheFirstTime() {
    if (placed_) return;
    placed_ = true;
    CenterOnScreen(handle_);
}

void TSettingForm::FormShow() {
    SetDropDownIndex(ComboBox2, Settings.Resolution);
    SetDropDownIndex(ComboBox3, Settings.Framerate);
    SetDropDownIndex(ComboBox4, Settings.Channels);
    SetText(Edit1, IntToText(Settings.VideoQuality));
    SetText(Edit2, IntToText(Settings.AudioQuality));
    SetTrackBar1Position(Settings.Volume);
    SetText(Edit3, IntToText(Settings.PspNumber));
    SaveProgramSettings();
}

void TSettingForm::ComboBox1Change() {
    const QualityPreset* preset = PresetAt(DropDownIndex(ComboBox1));
    if (!preset) return;
    SetText(Edit1, IntToText(preset->videoKbps));
    SetText(Edit2, IntToText(preset->audioKbps));
    SetDropDownIndex(ComboBox4, preset->channelIndex);
}

void TSettingForm::TrackBar1Change() { SetText(Label7, VolumeLabelText(TrackPosition(TrackBar1))); }

void TSettingForm::SetTrackBar1Position(int value) {
    const int position = ClampVolume(value);
    if (position == TrackPosition(TrackBar1)) return;
    SendMessageA(TrackBar1, TBM_SETPOS, TRUE, position);
    trackPosition_ = position;
    TrackBar1Change();
}

void TSettingForm::UpDownStep(HWND edit, int direction) {
    SetText(edit, IntToText(StepBitRate(TextOf(edit), direction)));
}

void TSettingForm::Button1Click() {
    // The result comes first: the dialog closes after this handler, also
    // when a field stops it.
    modalResult_ = IDOK;
    SettingFields fields;
    fields.resolution = DropDownIndex(ComboBox2);
    fields.framerate = DropDownIndex(ComboBox3);
    fields.channels = DropDownIndex(ComboBox4);
    fields.video = TextOf(Edit1);
    fields.audio = TextOf(Edit2);
    fields.volume = TrackPosition(TrackBar1);
    fields.number = TextOf(Edit3);
    ConfirmSettings(fields, Settings, Jobs, SaveProgramSettings);
}

void TSettingForm::Button3Click() {
    SetDropDownIndex(ComboBox1, kStandardPreset);
    ComboBox1Change();
    SetDropDownIndex(ComboBox2, 0);
    SetDropDownIndex(ComboBox3, 1);
    SetTrackBar1Position(kDefaultVolume);
    // The stored number, not the layout's: a number typed but not confirmed goes.
    SetText(Edit3, IntToText(Settings.PspNumber));
    Jobs.NextNumber = NumberAfterDefaults(Settings.PspNumber, Jobs);
}
