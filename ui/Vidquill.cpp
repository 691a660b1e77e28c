// The program's entry point: the main window, which creates and owns the
// other two, the message loop, exit code 0.
#include <windows.h>

#include <commctrl.h>
#include <ole2.h>

#include "app_shell.h"
#include "main_window.h"
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

        std::unique_ptr<MainWindow> mainWindow = MainWindow::Create();
        mainWindow->Show();
        RunMessageLoop();
        Guarded([&] { mainWindow->StopBatchAtExit(); });
    } catch (...) {
        ShowCurrentException();
    }
    return 0;
}
