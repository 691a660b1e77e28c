// The program's entry point: the windows in their fixed order (Form1 first,
// then SettingForm, then OutputForm), the message loop, exit code 0.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include "OutputUnit.h"
#include "SettingUnit.h"
#include "Unit1.h"
#include "app_shell.h"
#include "number_text.h"

namespace {

// COM for the shell's dialogs (the folder chooser), for the program's life.
class OleScope {
public:
    OleScope() : ok_(SUCCEEDED(OleInitialize(nullptr))) {}
    OleScope(const OleScope&) = delete;
    OleScope& operator=(const OleScope&) = delete;
    ~OleScope() {
        if (ok_) OleUninitialize();
    }

private:
    bool ok_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    try {
        app::SetInstance(instance);
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        OleScope ole;
        RefreshDecimalMark();

        std::unique_ptr<TForm1> form1 = TForm1::CreateForm();
        TSettingForm::CreateForm(instance);
        std::unique_ptr<TOutputForm> outputForm = TOutputForm::CreateForm(form1->Handle());

        form1->Show();
        RunMessageLoop();
        Guarded([&] { form1->FormDestroy(); });
    } catch (...) {
        ShowCurrentException();
    }
    return 0;
}
