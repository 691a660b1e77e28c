#pragma once
// The output folder chooser: the system's browse-for-folder dialog with the
// current folder preselected, and a one-shot hook that centres that dialog
// on the monitor of the program's active window.
#include <windows.h>

#include <string>
#include <vector>

// Runs the dialog titled `caption`. `folder` (system code page) is emptied at
// once when it names no existing directory - also when the user then cancels.
// True when the user confirmed a folder, which is then in `folder`.
bool SelectOutputFolder(const std::string& caption, std::string& folder);

// Installs CenterDialogHook for the calling (UI) thread. It removes itself at
// the first window activation, which is normally the folder dialog's.
void InstallCenterDialogHook();

// Whether CenterDialogHook is still waiting for an activation.
bool CenterDialogHookInstalled();

LRESULT CALLBACK CenterDialogHook(int code, WPARAM wParam, LPARAM lParam);

// Disables every visible, enabled top-level window of the calling thread for
// one scope (except `keep`) and enables exactly those again at its end: what
// a modal window or dialog does to the rest of the program.
class DisabledThreadWindows {
public:
    explicit DisabledThreadWindows(HWND keep = nullptr);
    DisabledThreadWindows(const DisabledThreadWindows&) = delete;
    DisabledThreadWindows& operator=(const DisabledThreadWindows&) = delete;
    ~DisabledThreadWindows() { EnableAgain(); }
    // Early re-enabling, e.g. before a modal window hides, so that Windows
    // hands the activation back to the owner and not to another program.
    void EnableAgain();

private:
    static BOOL CALLBACK DisableOne(HWND window, LPARAM self);
    HWND keep_;
    std::vector<HWND> disabled_;
};
