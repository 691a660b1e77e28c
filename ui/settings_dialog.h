#pragma once
// The settings dialog: a working copy of the conversion settings, six quality
// presets, "默认", "确定" and "取消". Created once, hidden, at program start and
// reused for every showing, so its controls keep their state in between.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "setting_rules.h"
#include "win_handles.h"
#include "window.h"

// Control ids; tests that drive the dialog from outside find controls by them.
// The OK button is IDOK so that Enter reaches it; no control is IDCANCEL, so
// the Escape key, which the dialog manager turns into IDCANCEL, does nothing.
enum SettingControlId : int {
    kIdOkButton = IDOK,
    kIdCancelButton = 1002,
    kIdDefaultsButton = 1003,
    kIdPresetList = 1101,
    kIdFrameSizeList = 1102,
    kIdFrameRateList = 1103,
    kIdChannelList = 1104,
    kIdAspectModeList = 1105,
    kIdVideoFormatList = 1106,
    kIdTitleList = 1107,
    kIdSubtitlesList = 1108,
    kIdAudioTrackList = 1109,
    kIdSimultaneousList = 1110,
    kIdVideoRateEdit = 1201,
    kIdAudioRateEdit = 1202,
    kIdFirstNumberEdit = 1203,
    kIdVideoRateArrows = 1301,
    kIdAudioRateArrows = 1302,
    kIdVolumeSlider = 1401,
    kIdVolumeLabel = 1507,
};

class SettingsDialog : public Window {
public:
    // Creates the dialog (hidden) with its controls; throws when Windows
    // refuses one of them.
    static std::unique_ptr<SettingsDialog> Create();
    SettingsDialog() = default;
    ~SettingsDialog() override;

    // Shows the dialog modally over `owner`, its controls filled from
    // `current`, and returns when it closes: IDOK through "确定", IDCANCEL
    // through "取消" or the close box. "确定" hands the edited copy to
    // `confirmed` before the dialog closes; nothing else reaches the caller.
    int ShowModal(HWND owner, const ConversionSettings& current,
                  std::function<void(const EditedSettings&)> confirmed);

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateControls();
    HWND AddControl(const char* className, const std::string& text, DWORD style, int id,
                    int left, int top, int width, int height, DWORD exStyle = 0);
    HWND AddLabel(const char* caption, int left, int top, int width, bool rightAligned);
    // `items` in the system code page.
    HWND AddDropDown(int id, int left, int top, int width, const std::vector<std::string>& items,
                     int selected);

    // Event handlers.
    void FillFromSettings();
    void OnPresetChanged();
    void OnVolumeChanged();
    void OnOkClicked();
    void OnDefaultsClicked();
    // The frame size does not apply to H.264: its list is disabled then,
    // its value kept.
    void OnVideoFormatChanged();

    // Moves the volume slider from code: the change handler runs
    // only when the position, brought into range, differs from the current one.
    void SetVolumePosition(int value);
    void StepRate(HWND edit, int direction);
    void ShowCentredTheFirstTime();

    UniqueFont font_;
    ConversionSettings shown_;  // what this showing started from
    std::function<void(const EditedSettings&)> confirmed_;
    int modalResult_ = 0;
    bool showing_ = false;
    bool placed_ = false;
    int volumePosition_ = 0;  // where the slider was when its handler last could run

    HWND volumeLabel_ = nullptr;
    HWND presetList_ = nullptr, frameSizeList_ = nullptr, frameRateList_ = nullptr,
         channelList_ = nullptr;
    HWND aspectModeList_ = nullptr, videoFormatList_ = nullptr, titleList_ = nullptr,
         subtitlesList_ = nullptr, audioTrackList_ = nullptr, simultaneousList_ = nullptr;
    HWND videoRateEdit_ = nullptr, audioRateEdit_ = nullptr, firstNumberEdit_ = nullptr;
    HWND videoRateArrows_ = nullptr, audioRateArrows_ = nullptr;
    HWND volumeSlider_ = nullptr;
    HWND okButton_ = nullptr, cancelButton_ = nullptr, defaultsButton_ = nullptr;
};
