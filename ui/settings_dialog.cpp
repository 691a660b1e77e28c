#include "settings_dialog.h"

#include <commctrl.h>

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

namespace {

// The first column's layout is fixed; the second column, the picture's
// and the file's settings, widens the dialog to the right.
constexpr int kClientWidth = 657;
constexpr int kSecondLabelLeft = 336, kSecondListLeft = 424, kSecondListWidth = 217;
constexpr int kFirstRowTop = 24, kRowStep = 40;
constexpr int kClientHeight = 392;
constexpr int kDropDownHeight = 21;
constexpr DWORD kDialogStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;

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

void SaveProgramSettings(const ConversionSettings& settings) {
    std::unique_ptr<IniFile> ini = MakeSystemIniFile();
    SaveSettings(*ini, ProgramConfigPath(), settings);
}

}  // namespace

std::unique_ptr<SettingsDialog> SettingsDialog::Create() {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    auto dialog = std::make_unique<SettingsDialog>();
    dialog->CreateDialogHandle(kDialogStyle);
    dialog->CreateControls();
    return dialog;
}

SettingsDialog::~SettingsDialog() {
    // Destroyed here, while the font its controls use still exists.
    if (Handle()) DestroyWindow(Handle());
}

LRESULT SettingsDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id == kIdOkButton && code == BN_CLICKED) {
            OnOkClicked();
        } else if (id == kIdCancelButton && code == BN_CLICKED) {
            modalResult_ = IDCANCEL;
        } else if (id == kIdDefaultsButton && code == BN_CLICKED) {
            OnDefaultsClicked();
        } else if (id == kIdPresetList && code == CBN_SELCHANGE) {
            OnPresetChanged();
        } else if (id == kIdVideoFormatList && code == CBN_SELCHANGE) {
            OnVideoFormatChanged();
        } else if (id != IDCANCEL) {
            break;
        }
        // IDCANCEL comes from the Escape key only (no control carries it),
        // and Escape does nothing here.
        return 0;
    }
    case WM_CLOSE:  // the close box and Alt+F4 cancel; the window stays
        modalResult_ = IDCANCEL;
        return 0;
    case WM_HSCROLL:
        // Every movement by mouse or keyboard; TB_ENDTRACK only closes one.
        if (reinterpret_cast<HWND>(lParam) == volumeSlider_ && LOWORD(wParam) != TB_ENDTRACK) {
            int position = TrackPosition(volumeSlider_);
            if (position != volumePosition_) {
                volumePosition_ = position;
                OnVolumeChanged();
            }
            return 0;
        }
        break;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->code == UDN_DELTAPOS &&
            (header->hwndFrom == videoRateArrows_ || header->hwndFrom == audioRateArrows_)) {
            const auto* change = reinterpret_cast<const NMUPDOWN*>(lParam);
            if (change->iDelta != 0) {
                StepRate(header->hwndFrom == videoRateArrows_ ? videoRateEdit_ : audioRateEdit_,
                         change->iDelta > 0 ? 1 : -1);
            }
            // The edit field is the value; the control's own position stays.
            return TRUE;
        }
        break;
    }
    }
    return Default(message, wParam, lParam);
}

HWND SettingsDialog::AddControl(const char* className, const std::string& text, DWORD style, int id,
                                int left, int top, int width, int height, DWORD exStyle) {
    HWND control = CreateWindowExA(exStyle, className, text.c_str(), WS_CHILD | WS_VISIBLE | style,
                                   left, top, width, height, Handle(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                   reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(Handle(), GWLP_HINSTANCE)),
                                   nullptr);
    if (!control) throw std::runtime_error(std::string("CreateWindowEx failed: ") + className);
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    return control;
}

HWND SettingsDialog::AddLabel(const char* caption, int left, int top, int width, bool rightAligned) {
    return AddControl("STATIC", SysText(caption), rightAligned ? SS_RIGHT : SS_LEFT, -1, left, top,
                      width, 13);
}

HWND SettingsDialog::AddDropDown(int id, int left, int top, int width,
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

void SettingsDialog::CreateControls() {
    font_ = CreateFormFont();
    SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    SetText(Handle(), SysText("设置"));
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&frame, kDialogStyle, FALSE,
                       static_cast<DWORD>(GetWindowLongPtrA(Handle(), GWL_EXSTYLE)));
    SetWindowPos(Handle(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (HICON icon = LoadIconA(reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(Handle(), GWLP_HINSTANCE)),
                               MAKEINTRESOURCEA(IDI_VIDQUILL))) {
        SendMessageA(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    }

    // Created in tab order: the dialog manager tabs along the z-order. The
    // lists and the first number start at the defaults (every showing then
    // fills the controls from the settings).
    const ConversionSettings defaults = DefaultSettings();
    okButton_ = AddControl("BUTTON", SysText("确定"), BS_DEFPUSHBUTTON | WS_TABSTOP, kIdOkButton,
                           159, 362, 75, 25);
    std::vector<std::string> presets;
    for (int i = 0; i < kPresetCount; ++i) presets.push_back(SysText(PresetAt(i)->name));
    presetList_ = AddDropDown(kIdPresetList, 136, 24, 137, presets, kStandardPreset);
    frameSizeList_ = AddDropDown(kIdFrameSizeList, 136, 64, 121,
                                 {"320 X 240", "368 X 208", "400 X 192"}, defaults.Resolution);
    frameRateList_ = AddDropDown(kIdFrameRateList, 136, 104, 121, {"14.985", "29.97"},
                                 defaults.Framerate);
    channelList_ = AddDropDown(kIdChannelList, 136, 224, 121,
                               {SysText("1 声道, 单声道"), SysText("2 声道, 立体声")}, defaults.Channels);

    const DWORD editStyle = ES_AUTOHSCROLL | WS_TABSTOP;
    const DWORD upDownStyle = UDS_ARROWKEYS | UDS_NOTHOUSANDS;  // no wrap, no buddy integer
    videoRateEdit_ = AddControl("EDIT", "10", editStyle, kIdVideoRateEdit, 136, 144, 105, 21,
                                WS_EX_CLIENTEDGE);
    videoRateArrows_ = AddControl(UPDOWN_CLASSA, "", upDownStyle, kIdVideoRateArrows, 241, 144, 15, 21);
    audioRateEdit_ = AddControl("EDIT", "10", editStyle, kIdAudioRateEdit, 136, 184, 105, 21,
                                WS_EX_CLIENTEDGE);
    audioRateArrows_ = AddControl(UPDOWN_CLASSA, "", upDownStyle, kIdAudioRateArrows, 241, 184, 15, 21);
    UDACCEL oneAtATime{0, 1};  // held arrows repeat in steps of 1, never faster
    for (auto [upDown, edit] : {std::pair{videoRateArrows_, videoRateEdit_},
                                std::pair{audioRateArrows_, audioRateEdit_}}) {
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

    volumeSlider_ = AddControl(TRACKBAR_CLASSA, "",
                               TBS_HORZ | TBS_TOP | TBS_AUTOTICKS | TBS_FIXEDLENGTH | WS_TABSTOP,
                               kIdVolumeSlider, 136, 264, 121, 33);
    SendMessageA(volumeSlider_, TBM_SETRANGEMIN, FALSE, kVolumeMin);
    SendMessageA(volumeSlider_, TBM_SETRANGEMAX, FALSE, kVolumeMax);
    SendMessageA(volumeSlider_, TBM_SETTICFREQ, 10, 0);
    SendMessageA(volumeSlider_, TBM_SETLINESIZE, 0, 1);
    SendMessageA(volumeSlider_, TBM_SETPAGESIZE, 0, 2);
    SendMessageA(volumeSlider_, TBM_SETTHUMBLENGTH, 15, 0);
    SendMessageA(volumeSlider_, TBM_SETPOS, TRUE, 0);
    volumePosition_ = 0;

    cancelButton_ = AddControl("BUTTON", SysText("取消"), BS_PUSHBUTTON | WS_TABSTOP,
                               kIdCancelButton, 244, 362, 75, 25);
    defaultsButton_ = AddControl("BUTTON", SysText("默认"), BS_PUSHBUTTON | WS_TABSTOP,
                                 kIdDefaultsButton, 20, 362, 75, 25);
    firstNumberEdit_ = AddControl("EDIT", IntToText(defaults.PspNumber), editStyle,
                                  kIdFirstNumberEdit, 136, 312, 121, 21, WS_EX_CLIENTEDGE);

    // The second column, after the first in tab order; item positions are
    // the stored values.
    struct SecondColumnList {
        HWND* list;
        int id;
        const char* label;
        std::vector<const char*> items;
        int32_t initial;
    };
    const SecondColumnList secondColumn[] = {
        {&aspectModeList_, kIdAspectModeList, "画面比例:", {"拉伸填满", "保持比例（加黑边）", "裁切填满"},
         defaults.AspectMode},
        {&videoFormatList_, kIdVideoFormatList, "视频格式:",
         {"MPEG-4（所有 PSP）", "H.264 480×272（系统 3.30 以上）"}, defaults.VideoFormat},
        {&titleList_, kIdTitleList, "标题:", {"固定（pelmora）", "源文件名"}, defaults.TitleFromName},
        {&subtitlesList_, kIdSubtitlesList, "字幕:", {"不加字幕", "烧录字幕"}, defaults.Subtitles},
        {&audioTrackList_, kIdAudioTrackList, "音轨:", {"源文件默认", "中文优先"}, defaults.AudioTrack},
        {&simultaneousList_, kIdSimultaneousList, "同时转换:", {"1 个", "2 个", "3 个", "4 个", "自动"},
         defaults.Simultaneous},
    };
    int rowTop = kFirstRowTop;
    for (const SecondColumnList& row : secondColumn) {
        std::vector<std::string> items;
        for (const char* item : row.items) items.push_back(SysText(item));
        *row.list = AddDropDown(row.id, kSecondListLeft, rowTop, kSecondListWidth, items, row.initial);
        AddLabel(row.label, kSecondLabelLeft, rowTop + 1, 65, true);
        rowTop += kRowStep;
    }

    AddLabel("配置文件:", 48, 25, 65, true);
    AddLabel("分辨率:", 48, 65, 65, true);
    AddLabel("帧率:", 48, 106, 65, true);
    AddLabel("视频品质:", 48, 146, 65, true);
    AddLabel("音频品质:", 48, 186, 65, true);
    AddLabel("声道:", 48, 227, 65, true);
    volumeLabel_ = AddControl("STATIC", InitialVolumeLabel(), SS_RIGHT, kIdVolumeLabel, 32, 274, 81, 13);
    AddLabel("视频文件编号:", 8, 315, 105, true);
    AddLabel("KBPS", 272, 144, 41, false);
    AddLabel("KBPS", 272, 184, 41, false);
    AddControl("STATIC", "", SS_ETCHEDHORZ, -1, 8, 352, 313, 2);  // the line above the buttons
    // ... carried on under the second column.
    AddControl("STATIC", "", SS_ETCHEDHORZ, -1, 321, 352, kClientWidth - 8 - 321, 2);

    SendMessageA(Handle(), DM_SETDEFID, kIdOkButton, 0);
}

int SettingsDialog::ShowModal(HWND owner, const ConversionSettings& current,
                              std::function<void(const EditedSettings&)> confirmed) {
    // Reached again from inside its own loop (a message handler of another
    // window): one showing at a time.
    if (showing_) return IDCANCEL;
    showing_ = true;
    shown_ = current;
    confirmed_ = std::move(confirmed);
    SetWindowLongPtrA(Handle(), GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));

    // A failure while filling (a refused save) is shown; the dialog opens all the same.
    Guarded([this] { FillFromSettings(); });
    ShowCentredTheFirstTime();
    const int result = RunModal(Handle(), modalResult_, ModalKeys::Dialog);
    showing_ = false;
    return result;
}

void SettingsDialog::ShowCentredTheFirstTime() {
    if (placed_) return;
    placed_ = true;
    CenterOnScreen(Handle());
}

void SettingsDialog::FillFromSettings() {
    SetDropDownIndex(frameSizeList_, shown_.Resolution);
    SetDropDownIndex(frameRateList_, shown_.Framerate);
    SetDropDownIndex(channelList_, shown_.Channels);
    SetText(videoRateEdit_, IntToText(shown_.VideoQuality));
    SetText(audioRateEdit_, IntToText(shown_.AudioQuality));
    SetVolumePosition(shown_.Volume);
    SetText(firstNumberEdit_, IntToText(shown_.PspNumber));
    SetDropDownIndex(aspectModeList_, shown_.AspectMode);
    SetDropDownIndex(videoFormatList_, shown_.VideoFormat);
    SetDropDownIndex(titleList_, shown_.TitleFromName);
    SetDropDownIndex(subtitlesList_, shown_.Subtitles);
    SetDropDownIndex(audioTrackList_, shown_.AudioTrack);
    SetDropDownIndex(simultaneousList_, shown_.Simultaneous);
    OnVideoFormatChanged();
    SaveProgramSettings(shown_);
}

void SettingsDialog::OnPresetChanged() {
    const QualityPreset* preset = PresetAt(DropDownIndex(presetList_));
    if (!preset) return;
    SetText(videoRateEdit_, IntToText(preset->videoKbps));
    SetText(audioRateEdit_, IntToText(preset->audioKbps));
    SetDropDownIndex(channelList_, preset->channelIndex);
}

void SettingsDialog::OnVideoFormatChanged() {
    EnableWindow(frameSizeList_, DropDownIndex(videoFormatList_) == kVideoH264 ? FALSE : TRUE);
}

void SettingsDialog::OnVolumeChanged() {
    SetText(volumeLabel_, VolumeLabelText(TrackPosition(volumeSlider_)));
}

void SettingsDialog::SetVolumePosition(int value) {
    const int position = ClampVolume(value);
    if (position == TrackPosition(volumeSlider_)) return;
    SendMessageA(volumeSlider_, TBM_SETPOS, TRUE, position);
    volumePosition_ = position;
    OnVolumeChanged();
}

void SettingsDialog::StepRate(HWND edit, int direction) {
    SetText(edit, IntToText(StepBitRate(TextOf(edit), direction)));
}

void SettingsDialog::OnOkClicked() {
    // The result comes first: the dialog closes after this handler, also
    // when a field stops it.
    modalResult_ = IDOK;
    SettingFields fields;
    fields.resolution = DropDownIndex(frameSizeList_);
    fields.framerate = DropDownIndex(frameRateList_);
    fields.channels = DropDownIndex(channelList_);
    fields.aspectMode = DropDownIndex(aspectModeList_);
    fields.videoFormat = DropDownIndex(videoFormatList_);
    fields.titleFromName = DropDownIndex(titleList_);
    fields.subtitles = DropDownIndex(subtitlesList_);
    fields.audioTrack = DropDownIndex(audioTrackList_);
    fields.simultaneous = DropDownIndex(simultaneousList_);
    fields.video = TextOf(videoRateEdit_);
    fields.audio = TextOf(audioRateEdit_);
    fields.volume = TrackPosition(volumeSlider_);
    fields.number = TextOf(firstNumberEdit_);
    ConfirmSettings(fields, shown_, confirmed_);
}

void SettingsDialog::OnDefaultsClicked() {
    // The standard preset fills the rates and the channels with the defaults.
    const ConversionSettings defaults = DefaultSettings();
    SetDropDownIndex(presetList_, kStandardPreset);
    OnPresetChanged();
    SetDropDownIndex(frameSizeList_, defaults.Resolution);
    SetDropDownIndex(frameRateList_, defaults.Framerate);
    SetVolumePosition(defaults.Volume);
    // The video format stays: H.264 plays only on later PSPs, which the
    // user knows and the defaults cannot.
    SetDropDownIndex(aspectModeList_, defaults.AspectMode);
    SetDropDownIndex(titleList_, defaults.TitleFromName);
    SetDropDownIndex(subtitlesList_, defaults.Subtitles);
    SetDropDownIndex(audioTrackList_, defaults.AudioTrack);
    SetDropDownIndex(simultaneousList_, defaults.Simultaneous);
    // The stored number, not the layout's: a number typed but not confirmed goes.
    SetText(firstNumberEdit_, IntToText(shown_.PspNumber));
    Jobs.NextNumber = NumberAfterDefaults(shown_.PspNumber, Jobs);
}
