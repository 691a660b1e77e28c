#include "SettingUnit.h"

TSettingForm* SettingForm = nullptr;

void TSettingForm::CreateForm(HINSTANCE) {
    static TSettingForm form;
    SettingForm = &form;
}

int TSettingForm::ShowModal(HWND) { return IDCANCEL; }
