#pragma once
// The output folder chooser: the system's browse-for-folder dialog with the
// current folder preselected, and a one-shot hook that centres that dialog
// on the monitor of the program's active window.
#include <windows.h>

#include <string>

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
